// 100,000 damaged records files, seeded: read and shown without a read outside the image (the sanitizer build watches).

#include "scriptedwindow.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace tarmelon;

class RecordsFuzzTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir{test::RamDiskTemplate("tarmelon-fuzz")}; // resets to the defaults write often
    test::ScriptedWindow window;

private slots:
    void fuzzDamagedImages()
    {
        test::ResetGame(window, dir.path());
        qint64 images = 0, start = QDateTime::currentMSecsSinceEpoch();
        const auto check = [&](const QByteArray &image) { // names fit; every eighth image shown as read, or reset from zeros
            const recordfile::Places10 places = recordfile::DecodePlaces(image);
            QFile file(RecordsPath());
            if (++images % 8 == 0 && file.open(QIODevice::WriteOnly) && file.write(image) == image.size() && file.flush())
                ShowRecords();
            for (int n = 0; n < recordfile::Places && !QTest::currentTestFailed(); ++n)
                QVERIFY2(places[n].Name.size() <= recordfile::MaxNameBytes && (images % 8 || !places[0].Score
                    || (window.recordName[n] == places[n].Name && window.recordScore[n] == QString::number(places[n].Score)))
                    && window.dialogs.isEmpty(), qPrintable(QString("image %1").arg(images)));
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
        for (QRandomGenerator random(20240611); images < 100'000 && !QTest::currentTestFailed();) {
            QByteArray image = base.left(random.bounded(base.size() + 1)); // random words in a random cut, now and then padded
            image += QByteArray(random.bounded(50) ? 0 : random.bounded(int(recordfile::MaxFileBytes) - 2600), 'z');
            for (int m = random.bounded(1, 9); m > 0 && !image.isEmpty(); --m) { // each at a record's start, or anywhere
                const qsizetype at = random.bounded(image.size()), word = random.bounded(0x10000);
                image.replace(random.bounded(2) ? at - at % 128 : at, 2, QByteArray(1, char(word)) + char(word >> 8));
            }
            check(image);
        }
        qInfo("%lld images in %.1f s", images, (QDateTime::currentMSecsSinceEpoch() - start) / 1000.0);
    }
};

QTEST_GUILESS_MAIN(RecordsFuzzTest)
#include "tst_records_fuzz.moc"
