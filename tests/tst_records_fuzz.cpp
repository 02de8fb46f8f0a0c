// Damaged records files by the hundred thousand, seeded: the reader and the
// records panel take any image without reading outside it (the sanitizer
// build watches that), and every name fits its record again.

#include "scriptedwindow.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace tarmelon;
using namespace tarmelon::test;

class RecordsFuzzTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir{RamDiskTemplate("tarmelon-fuzz")}; // resets to the defaults write often
    ScriptedWindow window;
    int images = 0;

    // Empty when the image reads, saves and shows well.
    QString fault(const QByteArray &image)
    {
        const recordfile::Places10 places = recordfile::DecodePlaces(image);
        const recordfile::Places10 again = recordfile::DecodePlaces(recordfile::EncodePlaces(places, image));
        for (int n = 0; n < recordfile::Places; ++n) {
            // One byte a character: within its record, and saved whole.
            if (places[n].Name.size() > recordfile::MaxNameBytes)
                return QString("name %1 does not fit its record").arg(n + 1);
            if (again[n].Name.size() != places[n].Name.size() || again[n].Score != places[n].Score)
                return QString("place %1 changes when saved").arg(n + 1);
        }
        if (images % 8 != 0) // the panel for a large share
            return {};
        QFile file(RecordsPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(image) != image.size())
            return "cannot write the file";
        file.close();
        ShowRecords();
        const bool reset = places[0].Score == 0;
        for (int n = 0; n < recordfile::Places; ++n) {
            if (window.recordName[n] != (reset ? "Зарвел" : places[n].Name)
                || window.recordScore[n] != QString::number(reset ? 100 * n + 500 : places[n].Score))
                return QString("place %1 shows wrong").arg(n + 1);
        }
        return window.dialogs.isEmpty() ? QString() : "a box: " + window.dialogs[0].text;
    }

private slots:
    void fuzzDamagedImages()
    {
        QVERIFY(dir.isValid());
        ResetGame(window, dir.path());
        QElapsedTimer timer;
        timer.start();
        QRandomGenerator random(20240611);
        const auto check = [&](const QByteArray &image) { // seeded: the number finds it again
            ++images;
            const QString f = QTest::currentTestFailed() ? QString() : fault(image);
            QVERIFY2(f.isEmpty(), qPrintable(QString("image %1: ").arg(images) + f));
        };
        const auto putWord = [](QByteArray &image, qsizetype at, int value) {
            if (at + 1 < image.size())
                image[at] = char(value), image[at + 1] = char(value >> 8);
        };
        // A full table: long, Cyrillic and markup-like names, odd scores, a tail.
        recordfile::Places10 full;
        for (int n = 0; n < recordfile::Places; ++n)
            full[n] = {std::int16_t(n * 7919 - 30000), QString(n * 14, u'Ж') + "<b>имя</b>&amp;"};
        const QByteArray base = recordfile::EncodePlaces(full, QByteArray(2600, '\xee'));
        for (int length = 0; length <= base.size(); ++length)
            check(base.left(length));
        for (int at = 0; at <= 2560; at += 128) { // every byte around every record boundary
            for (int k = std::max(0, at - 2); k < at + 2; ++k) {
                for (int byte = 0; byte < 256; ++byte) {
                    QByteArray image = base;
                    image[k] = char(byte);
                    check(image);
                }
            }
        }
        for (int record = 0; record < 20; ++record) { // wild lengths and extreme scores, cut near
            for (int value : {0, 1, 125, 126, 127, 128, 255, 256, 0x7fff, 0x8000, 0x8001, 0xfffe, 0xffff}) {
                for (int cut : {0, 1, 2, 3, 126, 127, 128, 129, 130, 2600}) {
                    QByteArray image = base;
                    putWord(image, record * 128, value);
                    check(image.left(record * 128 + cut));
                }
            }
        }
        while (images < 100'000 && !QTest::currentTestFailed()) { // random damage to a random cut
            QByteArray image = base.left(random.bounded(base.size() + 1));
            if (random.bounded(50) == 0)
                image += QByteArray(random.bounded(int(recordfile::MaxFileBytes) - 2600), 'z');
            for (int m = random.bounded(1, 9); m > 0 && !image.isEmpty(); --m) {
                const qsizetype at = random.bounded(image.size());
                if (random.bounded(2))
                    image[at] = char(random.bounded(256));
                else
                    putWord(image, at - at % 128, random.bounded(0x10000));
            }
            check(image);
        }
        qInfo("%d images in %.1f s", images, timer.elapsed() / 1000.0);
    }
};

QTEST_GUILESS_MAIN(RecordsFuzzTest)
#include "tst_records_fuzz.moc"
