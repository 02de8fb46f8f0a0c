// The rendered pictures as the game loads them from its resources: sizes,
// HiDPI twins, ball colours and diameters, the marker's three colours.

#include <QImage>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

// Ball diameter in 1x pixels for sizes 1..9, the same for both colours
// (assets/render.sh renders with this table).
constexpr std::array<int, 10> kDiameter = {0, 10, 16, 21, 26, 32, 37, 43, 48, 52};

const QSize kCell(64, 63);

QString resource(const QString &name) { return QStringLiteral(":/assets/") + name; }

QString twin(const QString &name)
{
    QString twice = name;
    twice.insert(twice.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
    return twice;
}

QString valueName(int value)
{
    return QStringLiteral("values/v%1.png").arg(value, 2, 10, QLatin1Char('0'));
}

QImage load(const QString &name)
{
    QImage image(resource(name));
    return image.convertToFormat(QImage::Format_ARGB32);
}

// "Clearly not black": above the level where antialiasing fades into the
// background.
bool lit(QRgb p) { return qRed(p) > 12 || qGreen(p) > 12 || qBlue(p) > 12; }

struct Span {
    int first = -1;
    int last = -1;
    int length() const { return first < 0 ? 0 : last - first + 1; }
};

// The lit run along row y (across) or column x (down).
Span litLine(const QImage &image, int at, bool across)
{
    Span span;
    const int length = across ? image.width() : image.height();
    for (int k = 0; k < length; ++k) {
        if (lit(across ? image.pixel(k, at) : image.pixel(at, k))) {
            if (span.first < 0)
                span.first = k;
            span.last = k;
        }
    }
    return span;
}

bool borderIsBlack(const QImage &image)
{
    const int w = image.width();
    const int h = image.height();
    for (int x = 0; x < w; ++x)
        if (lit(image.pixel(x, 0)) || lit(image.pixel(x, h - 1)))
            return false;
    for (int y = 0; y < h; ++y)
        if (lit(image.pixel(0, y)) || lit(image.pixel(w - 1, y)))
            return false;
    return true;
}

bool fullyOpaque(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 255)
                return false;
    return true;
}

// Mean difference per channel (0..255) between a picture and its @2x twin
// shrunk to the same size: small for a double-resolution render of the
// same scene, large for a different or shifted picture.
double meanDifference(const QImage &one, const QImage &two)
{
    const QImage a = one.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage b = two.scaledToWidth(one.width(), Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (b.size() != a.size())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                + std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return sum / (4.0 * a.width() * a.height());
}

} // namespace

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    void everyPictureHasItsSizeAndATwiceAsLargeTwin_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("opaque");
        for (int value = 0; value <= 18; ++value)
            QTest::newRow(qPrintable(valueName(value))) << valueName(value) << kCell << true;
        QTest::newRow("marker") << QStringLiteral("marker.png") << kCell << false;
        for (const char *tool : {"game", "records", "help", "exit"}) {
            const QString name = QStringLiteral("toolbar/%1.png").arg(QLatin1String(tool));
            QTest::newRow(tool) << name << QSize(32, 32) << true;
        }
        QTest::newRow("logo") << QStringLiteral("logo.png") << QSize(214, 90) << true;
        QTest::newRow("title") << QStringLiteral("title.png") << QSize(512, 384) << true;
    }
    void everyPictureHasItsSizeAndATwiceAsLargeTwin()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(bool, opaque);

        const QImage one = load(name);
        const QImage two = load(twin(name));
        QVERIFY2(!one.isNull(), qPrintable(resource(name)));
        QVERIFY2(!two.isNull(), qPrintable(resource(twin(name))));
        QCOMPARE(one.size(), size);
        QCOMPARE(two.size(), size * 2);
        if (opaque) {
            QVERIFY(fullyOpaque(one));
            QVERIFY(fullyOpaque(two));
        }
        // Same scene, not a neighbour's file or a shifted render.
        const double difference = meanDifference(one, two);
        QVERIFY2(difference < 8.0, qPrintable(QString::number(difference)));
    }

    void emptyCellIsAllBlack()
    {
        for (const QString &name : {valueName(0), twin(valueName(0))}) {
            const QImage image = load(name);
            QVERIFY2(!image.isNull(), qPrintable(name));
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    QCOMPARE(image.pixel(x, y), qRgb(0, 0, 0));
        }
    }

    void ballHasItsColourDiameterAndLight_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("blue");
        QTest::addColumn<int>("diameter");
        for (int size = 1; size <= 9; ++size) {
            QTest::newRow(qPrintable(QStringLiteral("red %1").arg(size)))
                << size << false << kDiameter[size];
            QTest::newRow(qPrintable(QStringLiteral("blue %1").arg(size)))
                << size + 9 << true << kDiameter[size];
        }
    }
    void ballHasItsColourDiameterAndLight()
    {
        QFETCH(int, value);
        QFETCH(bool, blue);
        QFETCH(int, diameter);

        for (int scale : {1, 2}) {
            const QString name = scale == 1 ? valueName(value) : twin(valueName(value));
            const QImage image = load(name);
            QVERIFY2(!image.isNull(), qPrintable(name));
            const int tolerance = scale;   // one pixel at 1x, two at @2x
            const int want = diameter * scale;

            // Across the middle row and down the middle column: round, the
            // listed size, and centred in the cell.
            const int midRow = (image.height() - 1) / 2;
            const Span across = litLine(image, midRow, true);
            QVERIFY2(std::abs(across.length() - want) <= tolerance,
                     qPrintable(QStringLiteral("%1: %2 px across, want %3")
                                    .arg(name).arg(across.length()).arg(want)));
            const int leftGap = across.first;
            const int rightGap = image.width() - 1 - across.last;
            QVERIFY2(std::abs(leftGap - rightGap) <= tolerance,
                     qPrintable(QStringLiteral("%1: gaps %2 / %3").arg(name).arg(leftGap).arg(rightGap)));

            const int midColumn = image.width() / 2;
            const int down = std::max(litLine(image, midColumn - 1, false).length(),
                                      litLine(image, midColumn, false).length());
            QVERIFY2(std::abs(down - want) <= tolerance,
                     qPrintable(QStringLiteral("%1: %2 px down, want %3").arg(name).arg(down).arg(want)));

            QVERIFY2(borderIsBlack(image), qPrintable(name));

            // Colour class over everything lit; the white highlights add to
            // all channels alike and do not change which one leads.
            qint64 r = 0, g = 0, b = 0;
            int brightest = -1;
            QPoint brightestAt;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb p = image.pixel(x, y);
                    r += qRed(p);
                    g += qGreen(p);
                    b += qBlue(p);
                    const int level = qRed(p) + qGreen(p) + qBlue(p);
                    if (level > brightest) {
                        brightest = level;
                        brightestAt = QPoint(x, y);
                    }
                }
            }
            if (blue)
                QVERIFY2(b * 10 > r * 14 && b * 10 > g * 14,
                         qPrintable(QStringLiteral("%1: rgb sums %2 %3 %4").arg(name).arg(r).arg(g).arg(b)));
            else
                QVERIFY2(r > 2 * g && r > 2 * b,
                         qPrintable(QStringLiteral("%1: rgb sums %2 %3 %4").arg(name).arg(r).arg(g).arg(b)));

            // Lit from the upper left: a near-white highlight up and left of
            // the middle.
            const QRgb top = image.pixel(brightestAt);
            QVERIFY2(std::min({qRed(top), qGreen(top), qBlue(top)}) >= 200, qPrintable(name));
            QVERIFY2(brightestAt.x() < image.width() / 2 && brightestAt.y() < midRow,
                     qPrintable(QStringLiteral("%1: highlight at %2,%3")
                                    .arg(name).arg(brightestAt.x()).arg(brightestAt.y())));
        }
    }

    void markerIsFourWhiteStrokesEdgedBlackOnTransparent()
    {
        // Where each corner stroke lies at 1x: left, top, right, bottom.
        const std::array<QRect, 4> boxes = {
            QRect(QPoint(3, 4), QPoint(19, 19)),
            QRect(QPoint(43, 2), QPoint(60, 18)),
            QRect(QPoint(1, 45), QPoint(19, 60)),
            QRect(QPoint(46, 46), QPoint(61, 61)),
        };
        for (int scale : {1, 2}) {
            const QString name = scale == 1 ? QStringLiteral("marker.png") : twin(QStringLiteral("marker.png"));
            const QImage image = load(name);
            QVERIFY2(!image.isNull(), qPrintable(name));
            QVERIFY(image.hasAlphaChannel());

            const QRgb white = qRgba(255, 255, 255, 255);
            const QRgb black = qRgba(0, 0, 0, 255);
            std::array<int, 4> whites{}, blacks{};
            int transparent = 0;
            const QPointF centre((image.width() - 1) / 2.0, (image.height() - 1) / 2.0);
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb p = image.pixel(x, y);
                    if (qAlpha(p) == 0) {
                        ++transparent;
                        continue;
                    }
                    // Three colours only: no half-transparent fringe.
                    QVERIFY2(p == white || p == black,
                             qPrintable(QStringLiteral("%1: %2,%3 is #%4")
                                            .arg(name).arg(x).arg(y).arg(p, 8, 16, QLatin1Char('0'))));
                    // The middle stays clear for the ball.
                    const QPointF d = QPointF(x, y) - centre;
                    QVERIFY2(std::hypot(d.x(), d.y()) > 22.0 * scale,
                             qPrintable(QStringLiteral("%1: %2,%3 covers the ball").arg(name).arg(x).arg(y)));
                    int inBox = -1;
                    for (int i = 0; i < 4; ++i) {
                        const QRect &box = boxes[size_t(i)];
                        const QRect scaled(box.topLeft() * scale,
                                           QSize(box.width() * scale, box.height() * scale));
                        if (scaled.adjusted(-scale, -scale, scale, scale).contains(x, y))
                            inBox = i;
                    }
                    QVERIFY2(inBox >= 0, qPrintable(QStringLiteral("%1: stray %2,%3").arg(name).arg(x).arg(y)));
                    ++(p == white ? whites : blacks)[size_t(inBox)];
                    // The white core is edged: it never touches transparency.
                    if (p == white) {
                        for (const QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                            const QPoint n = QPoint(x, y) + step;
                            QVERIFY2(image.valid(n) && qAlpha(image.pixel(n)) == 255,
                                     qPrintable(QStringLiteral("%1: bare white at %2,%3").arg(name).arg(x).arg(y)));
                        }
                    }
                }
            }
            for (size_t i = 0; i < 4; ++i) {
                QVERIFY2(whites[i] >= 20 * scale * scale && blacks[i] >= 20 * scale,
                         qPrintable(QStringLiteral("%1: corner %2 has %3 white, %4 black")
                                        .arg(name).arg(i).arg(whites[i]).arg(blacks[i])));
            }
            QVERIFY2(transparent * 10 > image.width() * image.height() * 8, qPrintable(name));
        }
    }

    void iconsHaveTheirSizes_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QTest::newRow(qPrintable(QString::number(size))) << size;
    }
    void iconsHaveTheirSizes()
    {
        QFETCH(int, size);
        const QString name = QStringLiteral("icon/tarmelon-%1.png").arg(size);
        // The larger sizes go only to the desktop's icon theme, not into the
        // program.
        const QImage image = size > 64
            ? QImage(QStringLiteral(TARMELON_ASSETS_DIR "/") + name).convertToFormat(QImage::Format_ARGB32)
            : load(name);
        QVERIFY2(!image.isNull(), qPrintable(name));
        QCOMPARE(image.size(), QSize(size, size));

        const int last = size - 1;
        const std::array<QPoint, 4> corners = {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)};
        if (size == 48) {
            // One dark ball on grey: opaque, grey corners.
            QVERIFY(fullyOpaque(image));
            for (const QPoint &c : corners) {
                const QRgb p = image.pixel(c);
                QVERIFY(std::abs(qRed(p) - qGreen(p)) < 16 && std::abs(qGreen(p) - qBlue(p)) < 16);
                QVERIFY(qGreen(p) > 60);
            }
            return;
        }
        // Red ball up-left over a blue ball down-right, nothing behind.
        for (const QPoint &c : corners)
            QCOMPARE(qAlpha(image.pixel(c)), 0);
        const auto leading = [&](double fx, double fy) {
            const QRgb p = image.pixel(int(fx * size), int(fy * size));
            if (qAlpha(p) < 255)
                return 'n';
            if (qRed(p) > qGreen(p) + 20 && qRed(p) > qBlue(p) + 20)
                return 'r';
            if (qBlue(p) > qRed(p) + 20 && qBlue(p) > qGreen(p) + 20)
                return 'b';
            return 'n';
        };
        // Below the highlights, on each ball's body.
        QCOMPARE(leading(0.30, 0.34), 'r');
        QCOMPARE(leading(0.70, 0.72), 'b');
    }
};

QTEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
