// The records table, its file and the records step after a won game.

#include "scriptedwindow.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tarmelon;
using namespace tarmelon::test;

namespace {

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

const QString Zarvel = "Зарвел";
const QString Defaults = "500 600 700 800 900 1000 1100 1200 1300 1400";
const QString Ann650 = "500 600 650:Ann 700 800 900 1000 1100 1200 1300";

// The file image of a table written "score[:name] ..." (`name` where none is
// given), then `tail`: laid out here byte by byte, apart from the code tested.
QByteArray Image(const QString &table, const QByteArray &tail = {}, const QString &name = Zarvel)
{
    QByteArray image(2560, '\0');
    for (int n = 0; n < 10; ++n) {
        const QStringList entry = table.split(' ')[n].split(':');
        const QByteArray bytes = QStringEncoder("windows-1251").encode(entry.value(1, name));
        image.replace(n * 128, bytes.size() + 2, QByteArray(1, char(bytes.size())) + '\0' + bytes);
        image[(n + 10) * 128] = char(entry[0].toInt());
        image[(n + 10) * 128 + 1] = char(entry[0].toInt() >> 8);
    }
    return image + tail;
}

// What stands at a path: a link's target, then a file's bytes, or the size of
// anything else (never opening a pipe).
QByteArray OnDisk(const QString &path)
{
    const QFileInfo info(path);
    QFile file(path);
    return info.symLinkTarget().toUtf8()
        + (info.isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray::number(info.size()));
}

// Runs `body` in a child process that ends with its result, within 10 s.
pid_t Child(const std::function<int()> &body)
{
    const pid_t child = fork();
    if (child == 0) {
        alarm(10);
        _exit(body());
    }
    return child;
}

} // namespace

class RecordsTest : public QObject {
    Q_OBJECT
    ScriptedWindow window;
    QTemporaryDir dir;

    // The table on the panel, written as for Image.
    QString shown() const
    {
        QStringList table;
        for (int n = 0; n < 10; ++n)
            table << window.recordScore[n] + (window.recordName[n] == Zarvel ? "" : ":" + window.recordName[n]);
        return table.join(' ');
    }
    void win(int seconds, const QString &name)
    {
        Game.SelectState = GameWon;
        Game.ElapsedSeconds = std::int16_t(seconds);
        window.inputs = {name};
        ShowRecords();
    }

private slots:
    void init()
    {
        window = ScriptedWindow();
        ResetGame(window, dir.path());
    }

    // From no file: the default table is saved, then the time entered into
    // the table the file holds as it is saved, whatever another game left there.
    void aWinTakesItsPlace_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("meanwhile"); // what another game leaves while the name box is open
        QTest::addColumn<QString>("table"); // shown and saved
        const QByteArray none;
        const QString long9 = "900:" + QString(126, u'Щ');
        QTest::newRow("650 s: place 3") << 650 << "Ёжик" << none << "500 600 650:Ёжик 700 800 900 1000 1100 1200 1300";
        QTest::newRow("an empty name keeps the place") << 650 << "" << none << "500 600 650: 700 800 900 1000 1100 1200 1300";
        QTest::newRow("700 s: below the equal time") << 700 << "Ann" << none << "500 600 700 700:Ann 800 900 1000 1100 1200 1300";
        QTest::newRow("1399 s: place 10") << 1399 << "Ann" << none << "500 600 700 800 900 1000 1100 1200 1300 1399:Ann";
        QTest::newRow("1400 s: no place") << 1400 << "Ann" << none << Defaults;
        QTest::newRow("'?' for what the code page lacks, cut to 126 bytes") << 50 << "Li李😀ok" + QString(200, 'x') << none
            << "50:Li??ok" + QString(120, 'x') + " 500 600 700 800 900 1000 1100 1200 1300";
        QTest::newRow("names moved byte for byte, the bytes after record 20 kept") << 650 << "Ann"
            << Image("100:Юлия 200 300 400 500 600 700 800 " + long9 + " 1000", "tail after record 20")
            << "100:Юлия 200 300 400 500 600 650:Ann 700 800 " + long9;
        QTest::newRow("no first score: reset") << 650 << "Ann" << QByteArray("\x03\x00Bob", 5).leftJustified(1280, '\0') << Ann650;
        QTest::newRow("a zero in place 2 stays, and no time takes it") << 650 << "Ann"
            << Image("500 0 700 800 900 1000 1100 1200 1300 1400") << "500 0 650:Ann 700 800 900 1000 1100 1200 1300";
        QTest::newRow("a negative score stays") << 650 << "Ann"
            << Image("500 600 -7 800 900 1000 1100 1200 1300 1400") << "500 600 -7 650:Ann 800 900 1000 1100 1200 1300";
        QTest::newRow("another game's record entered meanwhile") << 650 << "Ann"
            << Image("500 600 640:Bob 700 800 900 1000 1100 1200 1300") << "500 600 640:Bob 650:Ann 700 800 900 1000 1100 1200";
        QTest::newRow("no place left meanwhile") << 650 << "Ann"
            << Image("100 200 300 400 500 600 650 650 650 650") << "100 200 300 400 500 600 650 650 650 650";
    }
    void aWinTakesItsPlace()
    {
        QFETCH(int, seconds);
        QFETCH(QString, name);
        QFETCH(QByteArray, meanwhile);
        QFETCH(QString, table);
        window.onDialog = [&](const Dialog &) {
            if (!meanwhile.isNull())
                WriteAll(RecordsPath(), meanwhile);
        };
        window.clockInterval = 1000;
        win(seconds, name);
        QCOMPARE(window.clockInterval, 0);
        QCOMPARE(shown(), table);
        QCOMPARE(OnDisk(RecordsPath()), Image(table, meanwhile.mid(2560)));
        QCOMPARE(int(Game.SelectState), NothingSelected);
    }

    // A win in 650 s over what stands at the records path, or where no new file
    // fits: shown in any case, then saved, or warned of and everything left as it was.
    void aWinOverWhatStandsThere_data()
    {
        QTest::addColumn<int>("messages"); // none: saved
        QTest::addColumn<QString>("reason"); // in the last box
        for (const char *thing : {"pipe", "socket", "link to /dev/zero", "20 MB file", "directory"})
            QTest::newRow(thing) << 2 << ""; // read, then not saved
        QTest::newRow("link to a records file") << 0 << "";
        QTest::newRow("read-only directory with a writable file") << 0 << "";
        QTest::newRow("read-only directory with a read-only file") << 1 << qt_error_string(EACCES);
        QTest::newRow("full disk with no room for the lock file") << 1 << "блокировки";
        QTest::newRow("full disk with room for the lock file only") << 1 << qt_error_string(ENOSPC);
    }
    void aWinOverWhatStandsThere()
    {
        QFETCH(int, messages);
        QFETCH(QString, reason);
        const QString thing = QTest::currentDataTag();
        if (thing.startsWith("read-only") && geteuid() == 0)
            QSKIP("root writes anywhere: run_unprivileged.sh runs this");
        if (thing.startsWith("full disk"))
            DataDir = qEnvironmentVariable("TARMELON_SMALL_DISK");
        if (DataDir.isEmpty())
            QSKIP("needs a small filesystem of its own: run_on_small_disk.sh runs this");
        if (thing == "pipe" || thing == "socket")
            QCOMPARE(::mknod(QFile::encodeName(RecordsPath()), (thing == "pipe" ? S_IFIFO : S_IFSOCK) | 0600, 0), 0);
        else if (thing == "link to /dev/zero")
            QVERIFY(QFile::link("/dev/zero", RecordsPath()));
        else if (thing == "20 MB file")
            WriteAll(RecordsPath(), QByteArray(20'000'000, 'x'));
        else if (thing == "directory")
            QVERIFY(QDir().mkpath(RecordsPath() + "/keep"));
        else if (thing == "link to a records file")
            QVERIFY(QDir().mkpath(dir.filePath("real")) && QFile::link("real/tarmelon.dat", RecordsPath()));
        const QByteArray tail(56 * 1024, 't'); // 15 pages: a new table does not fit in the 8 left
        if (!QFileInfo::exists(RecordsPath()))
            WriteAll(RecordsPath(), Image(Defaults, tail)); // the file itself, or the link's target
        if (thing.startsWith("read-only")) {
            QFile::setPermissions(RecordsPath(), messages ? QFile::ReadOwner : QFile::ReadOwner | QFile::WriteOwner);
            QFile::setPermissions(DataDir, QFile::ReadOwner | QFile::ExeOwner);
        } else if (thing.startsWith("full disk")) {
            QFile filler(DataDir + "/filler"); // emptied first when left from the row before
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (filler.write(QByteArray(4096, 'f')) == 4096) {
            }
            QVERIFY(filler.resize(filler.size() - (thing.endsWith("only") ? 32 * 1024 : 0)));
        }
        const QByteArray before = OnDisk(RecordsPath());
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        const QStringList entries = QDir(DataDir).entryList(all);
        win(650, "Ann");
        QFile::setPermissions(DataDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(shown(), Ann650); // saved or not, shown for this display
        QCOMPARE(window.countDialogs("message"), messages);
        QVERIFY2(window.dialogs.last().text.contains(reason), qPrintable(window.dialogs.last().text));
        QCOMPARE(OnDisk(RecordsPath()), messages ? before : QByteArray(before).replace(Image(Defaults, tail), Image(Ann650, tail)));
        QCOMPARE(QDir(DataDir).entryList(all), entries); // no new file left behind
    }

    void twoRunningGamesBothKeepTheirRecords()
    {
        // Each game types its name once the other has read the table too, so
        // that both save over the same old table.
        const auto game = [&](int seconds, const QString &name, const QString &other) {
            return Child([=, this] {
                window.onDialog = [&](const Dialog &) {
                    WriteAll(dir.filePath(name), {});
                    for (int k = 0; k < 2000 && !QFile::exists(dir.filePath(other)); ++k)
                        ::usleep(5000);
                };
                win(seconds, name);
                return window.dialogs.size() == 1 ? 0 : 1; // asked for the name, warned of nothing
            });
        };
        for (const pid_t child : {game(650, "Аня", "Боря"), game(750, "Боря", "Аня")}) {
            int status = -1;
            ::waitpid(child, &status, 0);
            QCOMPARE(status, 0);
        }
        ShowRecords();
        QCOMPARE(shown(), "500 600 650:Аня 700 750:Боря 800 900 1000 1100 1200");
    }

    void aKilledSaveLeavesTheOldTableOrTheNew()
    {
        // Any file system renames atomically: a RAM disk spares the waits.
        QTemporaryDir ram(RamDiskTemplate("tarmelon-kills"));
        const QString records = ram.filePath("tarmelon.dat");
        // Table k names every place "k"; a save reads table k and writes k + 1.
        const auto table = [](int k) { return Image(Defaults, "tail after record 20", QString::number(k)); };
        const auto k = [](const QByteArray &image) { return recordfile::DecodePlaces(image)[0].Name.toInt(); };
        const auto save = [&] {
            return recordfile::Update(records, [&](const QByteArray &image) { return std::optional(table(k(image) + 1)); });
        };
        const auto saving = [&](int saves) { return Child([&] { while (saves-- != 0) save(); return 0; }); }; // -1: forever
        WriteAll(records, table(0));
        // The kills spread over twice the time a child takes to save once.
        const auto start = std::chrono::steady_clock::now();
        ::waitpid(saving(5), nullptr, 0);
        const int spread = int((std::chrono::steady_clock::now() - start) / std::chrono::nanoseconds(2500)) + 1; // µs
        for (int round = 0, last = 0; round < 200; ++round) {
            const pid_t child = saving(-1);
            ::usleep(QRandomGenerator::global()->bounded(spread));
            ::kill(child, SIGKILL);
            int status = 0;
            ::waitpid(child, &status, 0);
            const QByteArray file = OnDisk(records);
            QVERIFY2(WTERMSIG(status) == SIGKILL && file == table(k(file)) && k(file) >= last, qPrintable(QString::number(round)));
            last = k(file);
        }
        // Whatever lock the last kill left is recovered, and so is one a kill
        // left before Qt wrote its owner into it.
        QCOMPARE(save(), QString());
        for (const QString &lock : {records + ".lock", records + ".lock.rmlock"}) {
            QFile file(lock);
            QVERIFY(file.open(QIODevice::WriteOnly)
                    && file.setFileTime(QDateTime::currentDateTime().addSecs(-1), QFileDevice::FileModificationTime));
        }
        QCOMPARE(save(), QString());
    }
};

QTEST_GUILESS_MAIN(RecordsTest)
#include "tst_records.moc"
