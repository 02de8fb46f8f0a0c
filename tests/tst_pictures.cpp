// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures as a player sees them: every sphere its colour and its size,
// the empty cell black, the marker clear in the middle, and a sharp twin of
// every picture at twice the size.

#include "ui/pictures.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QImage>
#include <QTest>

#include <cmath>

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    void everyPictureHasASharpTwin()
    {
        int pictures = 0;
        for (QDirIterator it(QStringLiteral(":/assets"), {QStringLiteral("*.png")}, QDir::Files,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString one = it.next();
            if (one.endsWith(QStringLiteral("@2x.png")) || one.contains(QStringLiteral("/icon/")))
                continue;
            QString two = one;
            two.replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
            QCOMPARE(QImage(two).size(), QImage(one).size() * 2);
            ++pictures;
        }
        QCOMPARE(pictures, 19 + 1 + 4 + 2); // values, marker, toolbar, logo and title
    }

    void spheresHaveTheirColourAndSize()
    {
        // Measured across the middle row, at 1x and 2x: where the sphere
        // stands out from the black background, and what colour its body is.
        const int diameters[] = {10, 16, 21, 26, 32, 37, 43, 48, 52};
        for (int scale = 1; scale <= 2; ++scale) {
            for (int v = 0; v <= 18; ++v) {
                // At 1x the holder the cells take their pictures from.
                const QImage image = (scale == 1 ? tarmelon::ValuePicture(v).toImage()
                                                 : QImage(QStringLiteral(":/assets/values/v%1@2x.png")
                                                              .arg(v, 2, 10, QLatin1Char('0'))))
                                         .convertToFormat(QImage::Format_RGB32);
                QCOMPARE(image.size(), QSize(64, 63) * scale);
                int first = -1, last = -1;
                long red = 0, blue = 0;
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb p = image.pixel(x, 31 * scale);
                    if (qRed(p) + qGreen(p) + qBlue(p) > 24) {
                        last = x;
                        first = first < 0 ? x : first;
                        red += qRed(p);
                        blue += qBlue(p);
                    }
                }
                if (v == 0) {
                    QCOMPARE(first, -1); // an empty cell is all black
                    continue;
                }
                const double across = double(last - first + 1) / scale;
                QVERIFY2(std::abs(across - diameters[(v - 1) % 9]) <= 3 && std::abs((first + last) / 2.0 / scale - 32) <= 2,
                         qPrintable(QStringLiteral("value %1 at %2x: %3 px").arg(v).arg(scale).arg(across)));
                QVERIFY2(v <= 9 ? red > 2 * blue : blue > red, qPrintable(QString::number(v)));
            }
        }
    }

    void theMarkerLeavesTheSphereVisible()
    {
        const QImage marker = QImage(QStringLiteral(":/assets/marker.png")).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(marker.size(), QSize(64, 63));
        for (int y = 16; y < 47; ++y)
            for (int x = 16; x < 48; ++x)
                QCOMPARE(qAlpha(marker.pixel(x, y)), 0);
    }
};

QTEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
