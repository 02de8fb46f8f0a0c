// Damaged records files by the hundred thousand, seeded: the reader and the records panel
// take any image without reading outside it (the sanitizer build watches), and names fit.

#include "scriptedwindow.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>

using namespace tarmelon;
using namespace tarmelon::test;

class RecordsFuzzTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir{RamDiskTemplate("tarmelon-fuzz")}; // resets to the defaults write often
    ScriptedWindow window;

private slots:
    void fuzzDamagedImages()
    {
        ResetGame(window, dir.path());
        const auto start = std::chrono::steady_clock::now();
        int images = 0;
        const auto check = [&](const QByteArray &image) { // reads it, and shows every eighth on the panel
            const recordfile::Places10 places = recordfile::DecodePlaces(image);
            QFile file(RecordsPath());
            if (++images % 8 == 0 && file.open(QIODevice::WriteOnly) && file.write(image) == image.size() && file.flush())
                ShowRecords();
            bool ok = window.dialogs.isEmpty();
            for (int n = 0; n < recordfile::Places; ++n) // a name fits its record; shown as read, or reset from zeros
                ok = ok && places[n].Name.size() <= recordfile::MaxNameBytes && (images % 8 != 0 || places[0].Score == 0
                    || (window.recordName[n] == places[n].Name && window.recordScore[n] == QString::number(places[n].Score)));
            QVERIFY2(ok || QTest::currentTestFailed(), qPrintable(QString("image %1").arg(images))); // the first failure
        };
        recordfile::Places10 full; // long, Cyrillic and markup-like names, extreme scores, then a tail
        for (int n = 0; n < recordfile::Places; ++n)
            full[n] = {std::int16_t(n % 2 ? 32768 - n : n - 32768), QString(n * 14, u'Ж') + "<b>имя</b>&amp;"};
        const QByteArray base = recordfile::EncodePlaces(full, QByteArray(2600, '\xee'));
        for (int length = 0; length <= base.size(); ++length)
            check(base.left(length));
        for (int at = 0; at < 2562; at += at % 128 == 1 ? 125 : 1) // every value 2 bytes either side of each record start
            for (int byte = 0; byte < 256; ++byte)
                check(QByteArray(base).replace(at, 1, QByteArray(1, char(byte))));
        QRandomGenerator random(20240611);
        while (images < 100'000 && !QTest::currentTestFailed()) { // random words in a random cut, now and then padded
            QByteArray image = base.left(random.bounded(base.size() + 1));
            image += QByteArray(random.bounded(50) ? 0 : random.bounded(int(recordfile::MaxFileBytes) - 2600), 'z');
            for (int m = random.bounded(1, 9); m > 0 && !image.isEmpty(); --m) {
                const qsizetype at = random.bounded(image.size()); // at a record's start, or anywhere
                const int word = random.bounded(0x10000);
                image.replace(random.bounded(2) ? at - at % 128 : at, 2, QByteArray(1, char(word)) + char(word >> 8));
            }
            check(image);
        }
        qInfo("%d images in %.1f s", images, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
};

QTEST_GUILESS_MAIN(RecordsFuzzTest)
#include "tst_records_fuzz.moc"
