// Damaged records files by the hundred thousand, seeded: the reader and the
// records panel take any image without reading outside it, and every name
// fits its record again.

#include "scriptedwindow.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace tarmelon;
using namespace tarmelon::test;

namespace {

void PutWord(QByteArray &image, qsizetype at, int value)
{
    if (at + 1 < image.size()) {
        image[at] = static_cast<char>(value & 0xff);
        image[at + 1] = static_cast<char>((value >> 8) & 0xff);
    }
}

} // namespace

#define CHECK(image, what)                                                          \
    do {                                                                            \
        const QString f = fault(image);                                             \
        QVERIFY2(f.isEmpty(), qPrintable(what + QStringLiteral(": ") + f));         \
    } while (false)

class RecordsFuzzTest : public QObject {
    Q_OBJECT
    // On a RAM disk where there is one: resets to the defaults write often.
    QTemporaryDir dir{QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/tarmelon-fuzz-XXXXXX")
                                                                : QDir::tempPath() + QStringLiteral("/tarmelon-fuzz-XXXXXX")};
    ScriptedWindow window;
    int images = 0;

    // Empty when the image reads and shows well.
    QString fault(const QByteArray &image)
    {
        const recordfile::Places10 places = recordfile::DecodePlaces(image);
        const recordfile::Places10 again = recordfile::DecodePlaces(recordfile::EncodePlaces(places, image));
        for (int n = 0; n < recordfile::Places; ++n) {
            if (places[n].Name.size() > recordfile::MaxNameBytes
                || recordfile::EncodeName(places[n].Name).size() != places[n].Name.size())
                return QStringLiteral("name %1 does not fit its record").arg(n + 1);
            if (again[n].Name.size() != places[n].Name.size() || again[n].Score != places[n].Score)
                return QStringLiteral("place %1 changes when saved").arg(n + 1);
        }
        if (images++ % 8 == 0) { // the panel, for a large share
            QFile file(RecordsPath());
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(image) != image.size())
                return QStringLiteral("cannot write the file");
            file.close();
            ShowRecords();
            const bool reset = places[0].Score == 0;
            for (int n = 0; n < recordfile::Places; ++n) {
                if (window.recordName[n] != (reset ? QStringLiteral("Зарвел") : places[n].Name)
                    || window.recordScore[n] != QString::number(reset ? 100 * n + 500 : places[n].Score))
                    return QStringLiteral("place %1 shows wrong").arg(n + 1);
            }
            if (!window.dialogs.isEmpty())
                return QStringLiteral("a box: ") + window.dialogs[0].text;
        }
        return {};
    }

private slots:
    void fuzzDamagedImages()
    {
        QVERIFY(dir.isValid());
        ResetGame(window, dir.path());
        QElapsedTimer timer;
        timer.start();
        QRandomGenerator random(20240611);
        // A full table: long, Cyrillic and empty names, odd scores, a tail.
        recordfile::Places10 full;
        for (int n = 0; n < recordfile::Places; ++n)
            full[n] = {static_cast<std::int16_t>(n * 7919 - 30000),
                       QString(n * 14, QChar(u'Ж')) + QStringLiteral("<b>имя</b>&amp;")};
        const QByteArray base = recordfile::EncodePlaces(full, QByteArray(2600, '\xee'));
        QList<QByteArray> seeds;
        for (int length = 0; length <= 2600; ++length)
            seeds.append(base.left(length));
        for (const QByteArray &image : std::as_const(seeds)) // every truncation
            CHECK(image, QStringLiteral("cut at %1").arg(image.size()));

        for (qsizetype at = 0; at <= 2560; at += 128) { // every byte at every record boundary
            for (qsizetype k = std::max<qsizetype>(0, at - 2); k < at + 2; ++k) {
                for (int byte = 0; byte < 256; ++byte) {
                    QByteArray image = base;
                    image[k] = static_cast<char>(byte);
                    CHECK(image, QStringLiteral("byte %1 at %2").arg(byte).arg(k));
                }
            }
        }
        const int wild[] = {0, 1, 125, 126, 127, 128, 129, 255, 256, 0x7fff, 0x8000, 0xfffe, 0xffff};
        for (int n = 0; n < recordfile::Places; ++n) { // wild lengths and extreme scores, cut anywhere near
            for (int value : wild) {
                for (int cut : {0, 1, 2, 3, 126, 127, 128, 129, 130}) {
                    QByteArray image = base;
                    PutWord(image, n * 128, value);
                    PutWord(image, (n + 10) * 128, static_cast<int>(random.bounded(7)) == 0 ? 0x8000 : value);
                    image.truncate(n * 128 + cut);
                    CHECK(image, QStringLiteral("length %1 in place %2").arg(value).arg(n + 1));
                    image = base;
                    PutWord(image, (n + 10) * 128, value);
                    image.truncate((n + 10) * 128 + cut);
                    CHECK(image, QStringLiteral("score %1 in place %2").arg(value).arg(n + 1));
                }
            }
        }
        while (images < 100'000) { // random damage to random cuts
            QByteArray image = seeds[random.bounded(seeds.size())];
            if (random.bounded(50) == 0)
                image += QByteArray(random.bounded(int(recordfile::MaxFileBytes) - 2600), 'z');
            for (int m = int(random.bounded(1, 9)); m > 0 && !image.isEmpty(); --m) {
                const qsizetype at = random.bounded(image.size());
                if (random.bounded(2))
                    image[at] = static_cast<char>(random.bounded(256));
                else
                    PutWord(image, at - at % 128, int(random.bounded(0x10000)));
            }
            CHECK(image, QStringLiteral("random image %1").arg(images));
        }
        qInfo("%d images in %.1f s", images, timer.elapsed() / 1000.0);
    }
};

QTEST_GUILESS_MAIN(RecordsFuzzTest)
#include "tst_records_fuzz.moc"
