// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures as a player sees them: every sphere its colour and size at 1x
// and in its sharp 2x twin, the empty cell black, the marker clear in the
// middle, and a twin at twice the size for every picture.

#include "ui/pictures.h"

#include <QDirIterator>
#include <QTest>

#include <cmath>

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    void everyPictureHasASharpTwinAndSpheresTheirColourAndSize()
    {
        int twins = 0;
        for (QDirIterator it(":/assets", {"*.png"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            const QString one = it.next();
            if (!one.contains("@2x") && !one.contains("/icon/"))
                twins += QImage(QString(one).replace(".png", "@2x.png")).size() == QImage(one).size() * 2;
        }
        QCOMPARE(twins, 19 + 1 + 4 + 2); // values, marker, toolbar, logo and title
        // Across the middle row: where the sphere stands out from the black,
        // and what colour its body is. At 1x, the pictures the cells take.
        const int diameters[] = {10, 16, 21, 26, 32, 37, 43, 48, 52};
        for (int scale : {1, 2}) {
            for (int v = 0; v <= 18; ++v) {
                const QImage image = (scale == 1 ? tarmelon::ValuePicture(v).toImage()
                                                 : QImage(QString(":/assets/values/v%1@2x.png").arg(v, 2, 10, QChar('0'))))
                                         .convertToFormat(QImage::Format_RGB32);
                QCOMPARE(image.size(), QSize(64, 63) * scale);
                int first = -1, last = -1;
                long red = 0, blue = 0;
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb p = image.pixel(x, 31 * scale);
                    if (qRed(p) + qGreen(p) + qBlue(p) > 24)
                        last = x, first = first < 0 ? x : first, red += qRed(p), blue += qBlue(p);
                }
                const double across = double(last - first + 1) / scale, centre = (first + last) / 2.0 / scale;
                QVERIFY2(v == 0 ? first < 0
                                : std::abs(across - diameters[(v - 1) % 9]) <= 3 && std::abs(centre - 32) <= 2
                                      && (v <= 9 ? red > 2 * blue : blue > red),
                         qPrintable(QString("value %1 at %2x: %3 px").arg(v).arg(scale).arg(across)));
            }
        }
        const QImage marker = QImage(":/assets/marker.png").convertToFormat(QImage::Format_ARGB32);
        for (int y = 16; y < 47; ++y)
            for (int x = 16; x < 48; ++x)
                QCOMPARE(qAlpha(marker.pixel(x, y)), 0);
    }
};

QTEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
