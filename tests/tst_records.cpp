// SPDX-License-Identifier: GPL-3.0-or-later
// The records table, its file, the records step after a won game, and
// damaged files read and shown.

#include "scriptedwindow.h"

#include "ui/commands.h"

#include <QScopeGuard>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QRandomGenerator>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tarmelon;
using namespace tarmelon::test;

const QString Zarvel = "Зарвел";
const QString Defaults = "500 600 700 800 900 1000 1100 1200 1300 1400";
const QString Ann650 = "500 600 650:Ann 700 800 900 1000 1100 1200 1300";

static void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

// The file image of a table "score[:name] ..." (`name` by default, '_' for a space), laid out byte by byte apart from the code tested.
static QByteArray Image(const QString &table, const QString &name = Zarvel)
{
    QByteArray image(2560, '\0');
    for (int n = 0; n < 10; ++n) {
        const QStringList entry = table.split(' ')[n].split(':');
        const QByteArray bytes = QStringEncoder("windows-1251").encode(entry.value(1, name).replace('_', ' '));
        image.replace(n * 128, bytes.size() + 2, QByteArray(1, char(bytes.size())) + '\0' + bytes);
        image.replace((n + 10) * 128, 2, QByteArray(1, char(entry[0].toInt())) + char(entry[0].toInt() >> 8));
    }
    return image;
}

// What stands at a path: a link's target, then a file's bytes or the size of anything else (a pipe never opened).
static QByteArray OnDisk(const QString &path)
{
    QFile file(path);
    return file.symLinkTarget().toUtf8()
        + (QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray::number(file.size()));
}

class RecordsTest : public QObject {
    Q_OBJECT
    ScriptedWindow window;
    // Many saves: on a RAM disk where there is one, they wait for no disk.
    QTemporaryDir dir{(QFileInfo("/dev/shm").isWritable() ? "/dev/shm" : QDir::tempPath()) + "/tarmelon-records-XXXXXX"};

    // The table on the panel, written as for Image.
    QString shown() const
    {
        QStringList table;
        for (int n = 0; n < 10; ++n)
            table << window.recordScore[n] + (window.recordName[n] == Zarvel ? "" : ":" + QString(window.recordName[n]).replace(' ', '_'));
        return table.join(' ');
    }
    // Wins a game in the time a table entry "seconds:name" gives, the clock running till then, and types the name in.
    void win(const QString &entry)
    {
        Game.SelectState = GameWon;
        Game.ElapsedSeconds = std::int16_t(entry.section(':', 0, 0).toInt());
        window.inputs = {entry.section(':', 1)};
        window.clockInterval = 1000;
        ShowRecords();
    }

private slots:
    void init() { ResetGame(window = ScriptedWindow(), dir.path()); }

    // From no file: defaults saved, the time entered into the table the file holds at the save; clock stopped, win cleared.
    void aWinTakesItsPlace_data()
    {
        QTest::addColumn<QString>("won"); // as a table entry
        QTest::addColumn<QByteArray>("meanwhile"); // what another game leaves while the name box is open
        QTest::addColumn<QString>("table"); // shown and saved
        const QByteArray none;
        const QString long9 = "900:" + QString(126, u'Щ');
        QTest::newRow("650 s: place 3") << "650:Ёжик" << none << "500 600 650:Ёжик 700 800 900 1000 1100 1200 1300";
        QTest::newRow("an empty name keeps the place") << "650:" << none << "500 600 650: 700 800 900 1000 1100 1200 1300";
        QTest::newRow("700 s: below the equal time") << "700:Ann" << none << "500 600 700 700:Ann 800 900 1000 1100 1200 1300";
        QTest::newRow("1399 s: place 10") << "1399:Ann" << none << "500 600 700 800 900 1000 1100 1200 1300 1399:Ann";
        QTest::newRow("1400 s: no place") << "1400:Ann" << none << Defaults;
        QTest::newRow("'?' for what the code page lacks, cut to 126 bytes") << "50:Li李😀ok" + QString(200, 'x') << none
            << "50:Li??ok" + QString(120, 'x') + " 500 600 700 800 900 1000 1100 1200 1300";
        QTest::newRow("control characters typed or read become spaces") << "650:Ann\nB\t\x1a\u0085ob"
            << Image("100:Юлия\r\n\x7f 200 300 400 500 600 700 800 900 1000") << "100:Юлия___ 200 300 400 500 600 650:Ann_B___ob 700 800 900";
        QTest::newRow("names moved byte for byte, the bytes after record 20 kept") << "650:Ann"
            << Image("100:Юлия 200 300 400 500 600 700 800 " + long9 + " 1000") + "tail after record 20"
            << "100:Юлия 200 300 400 500 600 650:Ann 700 800 " + long9;
        QTest::newRow("no first score: reset") << "650:Ann" << QByteArray("\x03\x00Bob", 5).leftJustified(1280, '\0') << Ann650;
        QTest::newRow("a zero in place 2 and a negative score stay, and no time takes their places") << "650:Ann"
            << Image("500 0 -7 800 900 1000 1100 1200 1300 1400") << "500 0 -7 650:Ann 800 900 1000 1100 1200 1300";
        QTest::newRow("another game's record entered meanwhile") << "650:Ann"
            << Image("500 600 640:Bob 700 800 900 1000 1100 1200 1300") << "500 600 640:Bob 650:Ann 700 800 900 1000 1100 1200";
        QTest::newRow("no place left meanwhile") << "650:Ann"
            << Image("100 200 300 400 500 600 650 650 650 650") << "100 200 300 400 500 600 650 650 650 650";
    }
    void aWinTakesItsPlace()
    {
        QFETCH(QString, won);
        QFETCH(QByteArray, meanwhile);
        QFETCH(QString, table);
        window.onDialog = [&](const Dialog &) { // put in the file's place, as another game's save does
            if (!meanwhile.isNull())
                WriteAll(dir.filePath("saved"), meanwhile), std::filesystem::rename(dir.filePath("saved").toStdString(), RecordsPath().toStdString());
        };
        win(won);
        QCOMPARE(std::tuple(shown(), window.clockInterval, int(Game.SelectState)), std::tuple(table, 0, NothingSelected));
        QCOMPARE(OnDisk(RecordsPath()), Image(table) + meanwhile.mid(2560));
        WriteAll(dir.filePath("any new file"), {}); // the records file's mode: as any new file's, or as the one replaced
        QCOMPARE(QFileInfo(RecordsPath()).permissions(), QFileInfo(dir.filePath("any new file")).permissions());
    }

    // A win over what stands at the records path, on a full disk, or in a folder named in another encoding: shown, then saved, or warned of.
    void aWinOverWhatStandsThere_data()
    {
        QTest::addColumn<int>("messages"); // none: saved
        QTest::addColumn<QString>("reason"); // in the last box
        for (const char *thing : {"pipe", "socket", "link to /dev/zero", "20 MB file", "directory"})
            QTest::newRow(thing) << 2 << ""; // read, then not saved
        QTest::newRow("link to a records file") << 0 << "";
        QTest::newRow("read-only directory with a writable file") << 0 << "";
        QTest::newRow("read-only directory with a read-only file") << 1 << qt_error_string(EACCES);
        QTest::newRow("read-only directory with no file") << 2 << "нельзя записывать"; // defaults, then the record
        QTest::newRow("full disk with no room for the lock file") << 1 << "блокировки";
        QTest::newRow("full disk with room for the lock file only") << 1 << qt_error_string(ENOSPC);
        QTest::newRow("another user's link in a sticky folder") << 2 << "другого пользователя"; // whatever fs.protected_symlinks says
        QTest::newRow("another user's link put there while the name box is open") << 1 << "другого пользователя";
        QTest::newRow("records file, in a folder named in another encoding") << 0 << "";
        QTest::newRow("directory, in a folder named in another encoding") << 2 << "/bad\uFFFD/tarmelon.dat\n"; // readable
    }
    void aWinOverWhatStandsThere()
    {
        QFETCH(int, messages);
        QFETCH(QString, reason);
        const QString thing = QTest::currentDataTag();
        const QString shared = qEnvironmentVariable("TARMELON_SHARED"); // run_confined.sh: shared/tarmelon.dat, a link to plain/tarmelon.dat
        const auto lead = [&](const QString &folder) { QFile::remove(shared + "/current"); return QFile::link(folder, shared + "/current"); };
        const QByteArray folder = QFile::encodeName(dir.path()) + "/bad\xff";
        const auto leave = qScopeGuard([&] { QDir::setCurrent(dir.path()), std::filesystem::remove_all(folder.constData()); });
        if (thing.startsWith("full disk"))
            DataDir = qEnvironmentVariable("TARMELON_SMALL_DISK");
        else if (thing.startsWith("another user's link")) // the records name leads through the player's own link to a folder
            DataDir = shared.isEmpty() || !QDir(shared).mkpath("plain") || !lead("plain") ? "" : shared + "/current";
        if (DataDir.isEmpty())
            QSKIP("needs run_confined.sh");
        if (thing.endsWith("another encoding")) { // the game started there
            QVERIFY(::mkdir(folder, 0700) == 0 && ::chdir(folder) == 0);
            Main();
        }
        if (thing == "pipe" || thing == "socket")
            QCOMPARE(::mknod(QFile::encodeName(RecordsPath()), (thing == "pipe" ? S_IFIFO : S_IFSOCK) | 0600, 0), 0);
        else if (thing.startsWith("link"))
            QVERIFY(QFile::link(thing.endsWith("/dev/zero") ? "/dev/zero" : "real.dat", RecordsPath()));
        else if (thing.startsWith("directory"))
            QVERIFY(QDir().mkpath(RecordsPath() + "/keep"));
        const QByteArray tail(thing == "20 MB file" ? 20'000'000 : 56 * 1024, 't'); // 15 pages: no copy fits in the 8 left
        if (!QFileInfo::exists(RecordsPath()) && !thing.endsWith("no file"))
            WriteAll(RecordsPath(), Image(Defaults) + tail); // the file itself, or the link's target
        if (thing.startsWith("read-only")) {
            QFile::setPermissions(RecordsPath(), messages ? QFile::ReadOwner : QFile::ReadOwner | QFile::WriteOwner);
            QFile::setPermissions(DataDir, QFile::ReadOwner | QFile::ExeOwner);
            if (QTemporaryDir(DataDir + "/probe").isValid())
                QSKIP("file permissions do not bite this user: run_confined.sh");
        } else if (thing.startsWith("full disk")) {
            QFile filler(DataDir + "/filler"); // emptied first when left from the row before, then filling the disk
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && filler.write(QByteArray(256 * 1024, 'f')) > 0);
            QVERIFY(filler.resize(filler.size() - (thing.endsWith("only") ? 32 * 1024 : 0)));
        } else if (thing.startsWith("another user's link")) { // there from the start, or put there at the name box and back at the warning
            window.onDialog = [&](const Dialog &d) { QVERIFY(!thing.endsWith("open") || lead(d.kind == "input" ? "shared" : "plain")); };
            QVERIFY(thing.endsWith("open") || lead("shared"));
        }
        // The file, and the directory with no new file left in it.
        const auto disk = [] { return std::pair(OnDisk(RecordsPath()), QDir(DataDir).entryList(QDir::AllEntries | QDir::Hidden)); };
        const auto [file, entries] = disk();
        win("650:Ann");
        QFile::setPermissions(DataDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(std::pair(shown(), int(window.dialogs.size()) - 1), std::pair(Ann650, messages)); // shown, saved or not; the name asked
        QVERIFY2(window.dialogs.last().text.contains(reason), qPrintable(window.dialogs.last().text));
        QCOMPARE(disk(), std::pair(messages ? file : QByteArray(file).replace(Image(Defaults), Image(Ann650)), entries));
    }

    // Table k names every place "k"; a save reads table k and writes k + 1.
    void aKilledSaveLeavesTheOldTableOrTheNew()
    {
        const auto table = [](int k) { return Image(Defaults, QString::number(k)) + "tail after record 20"; };
        const auto k = [](const QByteArray &image) { return recordfile::DecodePlaces(image)[0].Name.toInt(); };
        const auto save = [&] { return recordfile::Update(recordfile::ReadFile(RecordsPath()), [&](auto &image) { return std::optional(table(k(image) + 1)); }); };
        const auto saving = [&](int saves) { // a child process that saves so many times (-1: till killed), within 10 s
            if (const pid_t child = fork(); child != 0)
                return child;
            for (alarm(10); saves < 0 || saves-- > 0;)
                save();
            _exit(0);
        };
        // Kills at random moments, seeded to repeat, over twice the time a child takes to save once.
        const auto start = std::chrono::steady_clock::now();
        ::waitpid(saving(5), nullptr, 0);
        const int spread = int((std::chrono::steady_clock::now() - start) / std::chrono::nanoseconds(2500)) + 1; // µs
        for (int round = 0, last = 0, status = 0; round < 200; ++round) {
            const pid_t child = saving(-1);
            ::usleep(useconds_t(QRandomGenerator(round).bounded(spread)));
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            const QByteArray file = OnDisk(RecordsPath());
            QCOMPARE(WTERMSIG(status), SIGKILL);
            QCOMPARE(file, table(k(file))); // whole
            QVERIFY2(k(file) >= last, qPrintable(QString("round %1: table %2 after %3").arg(round).arg(k(file)).arg(last)));
            last = k(file);
        }
        // The last kill's lock is recovered, and an empty one, left before Qt wrote its owner (Qt waits 30 s on it).
        QCOMPARE(save(), QString());
        for (const QString &lock : {RecordsPath() + ".lock", RecordsPath() + ".lock.rmlock"}) {
            QFile file(lock);
            QVERIFY(file.open(QIODevice::WriteOnly)
                    && file.setFileTime(QDateTime::currentDateTime().addSecs(-1), QFileDevice::FileModificationTime));
        }
        QCOMPARE(save(), QString());
    }

    // 100,000 damaged files, seeded: read and shown without a read outside the image (the sanitizer build watches).
    void damagedFiles()
    {
        recordfile::Places10 full; // long, Cyrillic and markup-like names, extreme scores, then a tail
        for (int n = 0; n < recordfile::Places; ++n)
            full[n] = {std::int16_t(n % 2 ? 32768 - n : n - 32768), QString(n * 14, u'Ж') + "<b>имя</b>&amp;"};
        const QByteArray base = recordfile::EncodePlaces(full, QByteArray(2600, '\xee'));
        QRandomGenerator random(20240611);
        for (qint64 images = 1; images <= 100'000 && !QTest::currentTestFailed(); ++images) {
            QByteArray image = base.left(random.bounded(base.size() + 1)); // random words in a random cut, now and then padded
            image += QByteArray(random.bounded(50) ? 0 : random.bounded(int(recordfile::MaxFileBytes) - 2600), 'z');
            for (int m = random.bounded(1, 9); m > 0 && !image.isEmpty(); --m) { // each at a record's start, or anywhere
                const qsizetype at = random.bounded(image.size()), word = random.bounded(0x10000);
                image.replace(random.bounded(2) ? at - at % 128 : at, 2, QByteArray(1, char(word)) + char(word >> 8));
            }
            // Names fit; every eighth image shown as read, or reset from zeros.
            const recordfile::Places10 places = recordfile::DecodePlaces(image);
            QFile file(RecordsPath());
            const bool shown = images % 8 == 0 && file.open(QIODevice::WriteOnly) && file.write(image) == image.size() && file.flush();
            if (shown)
                ShowRecords();
            for (int n = 0; n < recordfile::Places; ++n) {
                QVERIFY2(places[n].Name.size() <= recordfile::MaxNameBytes, qPrintable(QString::number(images)));
                if (shown && places[0].Score) {
                    QCOMPARE(window.recordName[n], places[n].Name);
                    QCOMPARE(window.recordScore[n], QString::number(places[n].Score));
                }
            }
            QCOMPARE(window.dialogs.size(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(RecordsTest)
#include "tst_records.moc"
