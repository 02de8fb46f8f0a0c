// The records table, its file and the records step after a won game.

#include "scriptedwindow.h"

#include "records/records.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tarmelon;
using namespace tarmelon::test;

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

quint16 Word(const QByteArray &b, int at)
{
    return static_cast<quint16>(static_cast<quint8>(b[at]) | (static_cast<quint8>(b[at + 1]) << 8));
}

QByteArray Cp1251(const QString &s)
{
    QStringEncoder e("windows-1251");
    return e.encode(s);
}

const QString Zarvel = "Зарвел";
const char *const Defaults = "500 600 700 800 900 1000 1100 1200 1300 1400";

QStringList Scores(const char *list) { return QString(list).split(' '); }

// A table file with these scores and every name `name`.
QByteArray Image(const char *scores, const QString &name = Zarvel)
{
    recordfile::Places10 places;
    for (int n = 0; n < 10; ++n)
        places[n] = {static_cast<std::int16_t>(Scores(scores)[n].toInt()), name};
    return recordfile::EncodePlaces(places, {});
}

// What stands at a path, to see that nothing changed it (never opening a pipe).
QByteArray Describe(const QString &path)
{
    const QFileInfo info(path);
    return QByteArray::number(info.isSymLink()) + QByteArray::number(info.size()) + info.symLinkTarget().toUtf8()
        + (info.isFile() && !info.isSymLink() ? ReadAll(path) : "-");
}

// Runs `body` in a child process that ends with its result (and within 10 s
// whatever happens).
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

    QString path() const { return dir.path() + "/tarmelon.dat"; }
    QStringList shownScores() const
    {
        return QStringList(window.recordScore.begin(), window.recordScore.end());
    }
    QStringList shownNames() const
    {
        return QStringList(window.recordName.begin(), window.recordName.end());
    }
    void winIn(int seconds)
    {
        Game.SelectState = GameWon;
        Game.ElapsedSeconds = static_cast<std::int16_t>(seconds);
        ShowRecords();
    }
    // The default table, its filler bytes marked so that a rewrite shows.
    QByteArray markedDefaultFile()
    {
        ShowRecords();
        QByteArray image = ReadAll(path());
        for (int r = 0; r < 20; ++r)
            image[r * 128 + 127] = '\xAA';
        WriteAll(path(), image);
        return image;
    }

private slots:
    void init()
    {
        window = ScriptedWindow();
        QVERIFY(dir.isValid());
        ResetGame(window, dir.path());
    }

    void missingFileBecomesTheDefaultTable()
    {
        window.clockInterval = 1000;
        window.panelVisible = {true, false, false};
        ShowRecords();
        QCOMPARE(window.clockInterval, 0);
        QCOMPARE(window.shownPanel(), 2);
        QCOMPARE(window.dialogs.size(), 0);
        QCOMPARE(shownNames(), QStringList(10, Zarvel));
        QCOMPARE(shownScores(), Scores(Defaults));
        const QByteArray file = ReadAll(path());
        QCOMPARE(file.size(), 2560);
        QCOMPARE(file.left(8), QByteArray("\x06\x00", 2) + Cp1251(Zarvel));
        QCOMPARE(file.mid(1280, 2), QByteArray("\xF4\x01", 2));
        QCOMPARE(file.mid(2432, 2), QByteArray("\x78\x05", 2));
        for (int n = 1; n <= 10; ++n) {
            QCOMPARE(Word(file, (n - 1) * 128), quint16(6));
            QCOMPARE(Word(file, (n + 9) * 128), quint16(100 * n + 400));
            // Filler is zeros.
            QCOMPARE(file.mid((n - 1) * 128 + 8, 120), QByteArray(120, '\0'));
        }
    }

    void aWinTakesItsPlace_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<int>("place"); // 0 = none
        QTest::newRow("650 s: place 3") << 650 << "Ёжик" << Scores("500 600 650 700 800 900 1000 1100 1200 1300") << 3;
        QTest::newRow("cancelled: an empty name keeps the place")
            << 650 << "" << Scores("500 600 650 700 800 900 1000 1100 1200 1300") << 3;
        QTest::newRow("700 s: place 4, below the equal time")
            << 700 << "Ёжик" << Scores("500 600 700 700 800 900 1000 1100 1200 1300") << 4;
        QTest::newRow("1399 s: only place 10")
            << 1399 << "Ёжик" << Scores("500 600 700 800 900 1000 1100 1200 1300 1399") << 10;
        QTest::newRow("1400 s: no place") << 1400 << "Ёжик" << Scores(Defaults) << 0;
        QTest::newRow("5000 s: no place") << 5000 << "Ёжик" << Scores(Defaults) << 0;
    }
    void aWinTakesItsPlace()
    {
        QFETCH(int, seconds);
        QFETCH(QString, name);
        QFETCH(QStringList, scores);
        QFETCH(int, place);
        const QByteArray before = markedDefaultFile();
        window.inputs.push_back(name);
        winIn(seconds);
        QCOMPARE(int(Game.SelectState), NothingSelected);
        QCOMPARE(shownScores(), scores);
        if (place == 0) {
            QCOMPARE(window.countDialogs("input"), 0);
            QCOMPARE(ReadAll(path()), before); // not written at all
            return;
        }
        QCOMPARE(window.countDialogs("input"), 1);
        const Dialog &d = window.dialogs.last();
        QCOMPARE(d.text, "Введите свое имя");
        QCOMPARE(d.title, "Поздравляем! Вы попали в таблицу рекордов");
        QCOMPARE(d.defaultText, "имя");
        QCOMPARE(window.recordName[place - 1], name);
        // Saved: a fresh display reads the same table back from the file.
        window = ScriptedWindow();
        SetWindow(&window);
        ShowRecords();
        QCOMPARE(shownScores(), scores);
        QCOMPARE(window.recordName[place - 1], name);
        const QByteArray file = ReadAll(path());
        QCOMPARE(file.size(), 2560);
        QCOMPARE(file.mid((place - 1) * 128, 2 + name.size()),
                 QByteArray(1, char(name.size())) + '\0' + Cp1251(name));
    }

    void recordsDuringAGameAskNothing()
    {
        ShowRecords();
        Game.SelectState = OneSelected;
        Game.ElapsedSeconds = 3;
        window.clockInterval = 1000;
        ShowRecords();
        QCOMPARE(window.clockInterval, 0);
        QCOMPARE(window.dialogs.size(), 0);
        QCOMPARE(window.recordScore[0], "500");
    }

    void aDamagedTableIsTakenAsItReads_data()
    {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<QStringList>("scores"); // after a win in 650 s
        // Cut before record 11: names but no scores, so reset.
        QTest::newRow("no first score") << QByteArray("\x03\x00Bob", 5).leftJustified(1280, '\0')
                                        << Scores("500 600 650 700 800 900 1000 1100 1200 1300");
        QTest::newRow("a zero in place 2 stays, and no time takes it")
            << Image("500 0 700 800 900 1000 1100 1200 1300 1400") << Scores("500 0 650 700 800 900 1000 1100 1200 1300");
        QTest::newRow("a negative score shows its sign and stays")
            << Image("500 600 -7 800 900 1000 1100 1200 1300 1400") << Scores("500 600 -7 650 800 900 1000 1100 1200 1300");
    }
    void aDamagedTableIsTakenAsItReads()
    {
        QFETCH(QByteArray, image);
        QFETCH(QStringList, scores);
        WriteAll(path(), image);
        winIn(650);
        QCOMPARE(shownScores(), scores);
        QCOMPARE(shownNames().count(Zarvel), 9);
        QCOMPARE(ReadAll(path()).size(), 2560);
    }

    void namesSurviveAsTheFileHoldsThem()
    {
        ShowRecords();
        QByteArray tail("tail bytes after record 20");
        QByteArray image = ReadAll(path()) + tail;
        WriteAll(path(), image);

        const QString cyrillic = "Юлия Щёкина-Эйдельман";
        window.inputs.push_back(cyrillic);
        winIn(100);
        QByteArray file = ReadAll(path());
        QVERIFY(file.endsWith(tail)); // bytes after record 20 are kept
        QCOMPARE(file.size(), 2560 + tail.size());
        QCOMPARE(file.mid(2, cyrillic.size()), Cp1251(cyrillic));

        // Characters the code page lacks become '?'; a long name is cut to
        // the 126 bytes its record holds, on screen as in the file.
        const QString foreign = "Li 李 😀 ok" + QString(200, QLatin1Char('x'));
        window.inputs.push_back(foreign);
        winIn(50);
        file = ReadAll(path());
        QCOMPARE(Word(file, 0), quint16(126));
        QCOMPARE(file.mid(2, 10), QByteArray("Li ? ? okx"));
        QCOMPARE(window.recordName[0].size(), 126);
        QVERIFY(file.endsWith(tail));
        // The older record moved down a place, byte for byte.
        QCOMPARE(file.mid(128 + 2, cyrillic.size()), Cp1251(cyrillic));
    }

    void whatIsNotATableIsWarnedOfAndLeftAsItIs_data()
    {
        QTest::addColumn<QString>("thing");
        for (const char *thing : {"pipe", "socket", "link to /dev/zero", "20 MB file", "directory",
                                  "link to a records file"})
            QTest::newRow(thing) << thing;
    }
    void whatIsNotATableIsWarnedOfAndLeftAsItIs()
    {
        QFETCH(QString, thing);
        const QByteArray name = QFile::encodeName(path());
        sockaddr_un address{AF_UNIX, {}};
        qstrncpy(address.sun_path, name.constData(), sizeof address.sun_path);
        const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (thing == "pipe")
            QCOMPARE(::mkfifo(name.constData(), 0600), 0);
        else if (thing == "socket")
            QCOMPARE(::bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        else if (thing == "link to /dev/zero")
            QVERIFY(QFile::link("/dev/zero", path()));
        else if (thing == "20 MB file")
            WriteAll(path(), Image(Defaults) + QByteArray(20'000'000, 'x'));
        else if (thing == "directory")
            QVERIFY(QDir().mkpath(path() + "/keep"));
        else {
            QVERIFY(QDir().mkpath(dir.filePath("real")));
            WriteAll(dir.filePath("real/tarmelon.dat"), Image(Defaults));
            QVERIFY(QFile::link("real/tarmelon.dat", path()));
        }
        ::close(socket);
        const QByteArray before = Describe(path());
        const bool warns = thing != "link to a records file";
        window.inputs.push_back("Ann");
        winIn(650);
        QCOMPARE(window.recordName[2], "Ann"); // shown for this display
        QCOMPARE(window.countDialogs("message"), warns ? 2 : 0); // read, then not saved
        QCOMPARE(window.endedWith, -1);
        if (warns) {
            QVERIFY(window.dialogs[0].text.contains(path()));
            QCOMPARE(Describe(path()), before);
            QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System),
                     QStringList("tarmelon.dat"));
        } else { // saved over the file it leads to, and still a link
            QCOMPARE(QFileInfo(path()).symLinkTarget(), dir.filePath("real/tarmelon.dat"));
            QCOMPARE(Word(ReadAll(path()), 1280 + 2 * 128), quint16(650));
            QVERIFY(QDir(dir.filePath("real")).removeRecursively());
        }
    }

    void anotherGamesSaveDuringTheNameBoxIsKept_data()
    {
        QTest::addColumn<QByteArray>("other"); // what the other game leaves; empty: removes the file
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<int>("place"); // 0 = none
        QTest::newRow("a record entered meanwhile") << Image("500 600 640 700 800 900 1000 1100 1200 1300")
            << Scores("500 600 640 650 700 800 900 1000 1100 1200") << 4;
        QTest::newRow("no place left meanwhile") << Image("100 200 300 400 500 600 650 650 650 650")
            << Scores("100 200 300 400 500 600 650 650 650 650") << 0;
        QTest::newRow("the file removed meanwhile") << QByteArray()
            << Scores("500 600 650 700 800 900 1000 1100 1200 1300") << 3;
    }
    void anotherGamesSaveDuringTheNameBoxIsKept()
    {
        QFETCH(QByteArray, other);
        QFETCH(QStringList, scores);
        QFETCH(int, place);
        ShowRecords();
        window.onDialog = [&](const Dialog &) {
            QFile::remove(path());
            if (!other.isEmpty())
                WriteAll(path(), other);
        };
        window.inputs.push_back("Ann");
        winIn(650);
        QCOMPARE(window.countDialogs("message"), 0);
        QCOMPARE(shownScores(), scores); // what was saved
        QCOMPARE(window.recordName[std::max(place, 1) - 1], place ? "Ann" : Zarvel);
        if (place == 0)
            QCOMPARE(ReadAll(path()), other);
        window = ScriptedWindow();
        SetWindow(&window);
        ShowRecords();
        QCOMPARE(shownScores(), scores);
    }

    void twoRunningGamesBothKeepTheirRecords()
    {
        ShowRecords();
        // Each game types its name once the other has read the table too, so
        // that both save over the same old table.
        const auto game = [&](int seconds, const QString &name, const QString &other) {
            return Child([=, this] {
                window.inputs = {name};
                window.onDialog = [&](const Dialog &) {
                    WriteAll(dir.filePath(name), {});
                    for (int k = 0; k < 2000 && !QFile::exists(dir.filePath(other)); ++k)
                        QThread::msleep(5);
                };
                winIn(seconds);
                return window.dialogs.size() == 1 ? 0 : 1; // asked for the name, warned of nothing
            });
        };
        const pid_t first = game(650, "Аня", "Боря"), second = game(750, "Боря", "Аня");
        int firstStatus = -1, secondStatus = -1;
        ::waitpid(first, &firstStatus, 0);
        ::waitpid(second, &secondStatus, 0);
        QCOMPARE(firstStatus + secondStatus, 0);
        ShowRecords();
        QCOMPARE(shownScores(), Scores("500 600 650 700 750 800 900 1000 1100 1200"));
        QCOMPARE(window.recordName[2], "Аня");
        QCOMPARE(window.recordName[4], "Боря");
    }

    void aKilledSaveLeavesTheOldTableOrTheNew()
    {
        // Any file system renames atomically: a RAM disk spares the waits.
        QTemporaryDir ram(RamDiskTemplate("tarmelon-kills"));
        const QString records = ram.filePath("tarmelon.dat");
        // Table k names every place "k"; a save reads table k and writes
        // k + 1, keeping the bytes after record 20.
        const auto table = [](int k) { return Image(Defaults, QString::number(k)); };
        const auto k = [](const QByteArray &image) { return recordfile::DecodePlaces(image)[0].Name.toInt(); };
        const auto save = [&] {
            return recordfile::Update(records, [&](const QByteArray &image) {
                return std::optional(table(k(image) + 1) + image.mid(2560));
            });
        };
        const auto saving = [&](int saves) { // -1: until killed
            return Child([&] {
                for (int n = 0; n != saves; ++n)
                    save();
                return 0;
            });
        };
        const QByteArray tail = QByteArray("tail after record 20").repeated(3);
        WriteAll(records, table(0) + tail);
        // The kills spread over twice the time a child takes to save once.
        QElapsedTimer timer;
        timer.start();
        for (int n = 0; n < 5; ++n)
            ::waitpid(saving(1), nullptr, 0);
        const int spread = int(timer.nsecsElapsed() / 2500) + 1; // µs
        int last = k(ReadAll(records)), first = last, locksLeft = 0;
        timer.start();
        for (int round = 0; round < 200; ++round) {
            const pid_t child = saving(-1);
            QThread::usleep(QRandomGenerator::global()->bounded(spread));
            ::kill(child, SIGKILL);
            int status = 0;
            ::waitpid(child, &status, 0);
            QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
            const QByteArray file = ReadAll(records);
            QVERIFY2(file == table(k(file)) + tail && k(file) >= last, qPrintable(QString::number(round)));
            last = k(file);
            locksLeft += QFile::exists(records + ".lock");
        }
        qInfo("200 kills in %.1f s: %d saves done, %d locks left behind", timer.elapsed() / 1000.0,
              last - first, locksLeft);
        // Whatever lock the last kill left is recovered, and so is one a kill
        // left before Qt wrote its owner into it.
        QCOMPARE(save(), QString());
        for (const QString &lock : {records + ".lock", records + ".lock.rmlock"}) {
            WriteAll(lock, {});
            QFile file(lock);
            QVERIFY(file.open(QIODevice::ReadWrite)
                    && file.setFileTime(QDateTime::currentDateTime().addSecs(-1), QFileDevice::FileModificationTime));
        }
        QCOMPARE(save(), QString());
    }

    void aFullDiskKeepsTheTable_data()
    {
        QTest::addColumn<int>("free"); // bytes left
        QTest::addColumn<QString>("reason");
        QTest::newRow("no room for the lock file") << 0 << "блокировки";
        QTest::newRow("room for the lock file, not for the new table") << 32 * 1024 << qt_error_string(ENOSPC);
    }
    void aFullDiskKeepsTheTable()
    {
        // run_on_small_disk.sh mounts a small empty filesystem for this.
        DataDir = qEnvironmentVariable("TARMELON_SMALL_DISK");
        if (DataDir.isEmpty())
            QSKIP("needs a small filesystem of its own");
        QFETCH(int, free);
        QFETCH(QString, reason);
        // 15 pages, so that the new table does not fit in 8.
        WriteAll(RecordsPath(), Image(Defaults) + QByteArray(56 * 1024, 't'));
        QFile filler(DataDir + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
        }
        filler.close();
        QVERIFY(filler.resize(filler.size() - free));
        const QByteArray before = ReadAll(RecordsPath());
        winIn(650);
        QCOMPARE(window.countDialogs("message"), 1);
        QVERIFY2(window.dialogs.last().text.contains(reason), qPrintable(window.dialogs.last().text));
        QCOMPARE(ReadAll(RecordsPath()), before);
        QCOMPARE(QDir(DataDir).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                 QStringList({"filler", "tarmelon.dat"})); // no new file left behind
        QVERIFY(filler.remove());
    }

    void aDirectoryThatCannotBeWrittenIsWarnedOf()
    {
        // Nothing can be created under /proc, not even by root.
        DataDir = "/proc/tarmelon-no-such-dir";
        ShowRecords();
        QCOMPARE(window.countDialogs("message"), 1);
        QVERIFY(window.dialogs[0].text.contains(RecordsPath()));
        QCOMPARE(shownNames(), QStringList(10, Zarvel));
        QCOMPARE(window.endedWith, -1);
    }

    void aReadOnlyDirectory_data()
    {
        QTest::addColumn<bool>("fileWritable");
        QTest::newRow("a writable file is written in place") << true;
        QTest::newRow("a read-only file keeps its table") << false;
    }
    void aReadOnlyDirectory()
    {
        if (geteuid() == 0)
            QSKIP("root writes anywhere");
        QFETCH(bool, fileWritable);
        ShowRecords();
        const QByteArray before = ReadAll(path());
        const auto rw = QFile::ReadOwner | QFile::WriteOwner;
        QFile::setPermissions(path(), fileWritable ? rw : QFile::ReadOwner);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        window.inputs.push_back("Ann");
        winIn(650);
        QFile::setPermissions(dir.path(), rw | QFile::ExeOwner);
        QFile::setPermissions(path(), rw);
        QCOMPARE(window.countDialogs("message"), fileWritable ? 0 : 1);
        QCOMPARE(window.recordScore[2], "650");
        if (fileWritable)
            QCOMPARE(Word(ReadAll(path()), 1280 + 2 * 128), quint16(650));
        else
            QCOMPARE(ReadAll(path()), before);
    }
};

QTEST_GUILESS_MAIN(RecordsTest)
#include "tst_records.moc"
