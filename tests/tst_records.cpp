// The records table, its file and the records step after a won game.

#include "scriptedwindow.h"

#include "records/records.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringDecoder>
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

const QString Zarvel = QStringLiteral("Зарвел");

// A table file with these scores, every name `name`.
QByteArray Image(const QList<int> &scores, const QString &name = Zarvel)
{
    recordfile::Places10 places;
    for (int n = 0; n < 10; ++n)
        places[n] = {static_cast<std::int16_t>(scores.value(n)), name};
    return recordfile::EncodePlaces(places, {});
}

// What stands at a path, to tell whether anything changed it; never opens a
// pipe.
QByteArray Describe(const QString &path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return "missing";
    QByteArray d = QByteArray::number(info.st_mode) + ' ' + QByteArray::number(qint64(info.st_size))
        + ' ' + QFileInfo(path).symLinkTarget().toUtf8();
    if (S_ISREG(info.st_mode))
        d += ' ' + QCryptographicHash::hash(ReadAll(path), QCryptographicHash::Sha1).toHex();
    return d;
}

// A second running game, started as this program with --rival DIR SECONDS
// NAME OTHER: wins in SECONDS and types NAME, once the game OTHER has read
// the table too, so that both save over the same old table.
int RivalGame(const QStringList &args)
{
    ScriptedWindow window;
    ResetGame(window);
    DataDir = args[0];
    const QDir dir(args[0]);
    window.inputs.push_back(args[2]);
    window.onDialog = [&](const Dialog &) {
        QFile(dir.filePath(args[2] + QStringLiteral(".ready"))).open(QIODevice::WriteOnly);
        for (int k = 0; k < 2000 && !dir.exists(args[3] + QStringLiteral(".ready")); ++k)
            QThread::msleep(5);
    };
    Game.SelectState = GameWon;
    Game.ElapsedSeconds = static_cast<std::int16_t>(args[1].toInt());
    ShowRecords();
    return window.dialogs.size() == 1 ? 0 : 1; // asked for the name, warned of nothing
}

} // namespace

class RecordsTest : public QObject {
    Q_OBJECT
    ScriptedWindow window;
    QTemporaryDir dir;

    QString path() const { return dir.path() + QStringLiteral("/tarmelon.dat"); }
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
        QCOMPARE(shownScores(), QStringList({"500", "600", "700", "800", "900", "1000", "1100",
                                             "1200", "1300", "1400"}));
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
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<int>("place"); // 0 = none
        QTest::newRow("650 s: place 3") << 650
            << QStringList({"500", "600", "650", "700", "800", "900", "1000", "1100", "1200", "1300"}) << 3;
        QTest::newRow("700 s: place 4, below the equal time") << 700
            << QStringList({"500", "600", "700", "700", "800", "900", "1000", "1100", "1200", "1300"}) << 4;
        QTest::newRow("1399 s: only place 10") << 1399
            << QStringList({"500", "600", "700", "800", "900", "1000", "1100", "1200", "1300", "1399"}) << 10;
        QTest::newRow("1400 s: no place") << 1400
            << QStringList({"500", "600", "700", "800", "900", "1000", "1100", "1200", "1300", "1400"}) << 0;
        QTest::newRow("5000 s: no place") << 5000
            << QStringList({"500", "600", "700", "800", "900", "1000", "1100", "1200", "1300", "1400"}) << 0;
    }
    void aWinTakesItsPlace()
    {
        QFETCH(int, seconds);
        QFETCH(QStringList, scores);
        QFETCH(int, place);
        const QByteArray before = markedDefaultFile();
        window.inputs.push_back(QStringLiteral("Ёжик"));
        winIn(seconds);
        QCOMPARE(int(Game.SelectState), NothingSelected);
        QCOMPARE(shownScores(), scores);
        if (place == 0) {
            QCOMPARE(window.countDialogs(QStringLiteral("input")), 0);
            QCOMPARE(ReadAll(path()), before); // not written at all
            return;
        }
        QCOMPARE(window.countDialogs(QStringLiteral("input")), 1);
        const Dialog &d = window.dialogs.last();
        QCOMPARE(d.text, QStringLiteral("Введите свое имя"));
        QCOMPARE(d.title, QStringLiteral("Поздравляем! Вы попали в таблицу рекордов"));
        QCOMPARE(d.defaultText, QStringLiteral("имя"));
        QCOMPARE(window.recordName[place - 1], QStringLiteral("Ёжик"));
        // Saved: a fresh display reads the same table back from the file.
        window = ScriptedWindow();
        SetWindow(&window);
        ShowRecords();
        QCOMPARE(shownScores(), scores);
        QCOMPARE(window.recordName[place - 1], QStringLiteral("Ёжик"));
        const QByteArray file = ReadAll(path());
        QCOMPARE(file.size(), 2560);
        QCOMPARE(file.mid((place - 1) * 128, 6), QByteArray("\x04\x00", 2) + Cp1251(QStringLiteral("Ёжик")));
    }

    void cancelStoresAnEmptyNameWithItsTime()
    {
        ShowRecords();
        window.inputs.push_back(QString());
        winIn(650);
        QCOMPARE(window.recordName[2], QString());
        QCOMPARE(window.recordScore[2], QStringLiteral("650"));
        QCOMPARE(Word(ReadAll(path()), 2 * 128), quint16(0));
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
        QCOMPARE(window.recordScore[0], QStringLiteral("500"));
    }

    void aFileWithoutAFirstScoreIsReset()
    {
        // Cut before record 11: names but no scores.
        QByteArray image(1280, '\0');
        image[0] = 3;
        image.replace(2, 3, "Bob");
        WriteAll(path(), image);
        ShowRecords();
        QCOMPARE(shownNames(), QStringList(10, Zarvel));
        QCOMPARE(ReadAll(path()).size(), 2560);

        // Only place 1's score decides: a zero elsewhere is kept as it is.
        QByteArray zeroAtTwo = ReadAll(path());
        zeroAtTwo[1408] = 0;
        zeroAtTwo[1409] = 0;
        WriteAll(path(), zeroAtTwo);
        ShowRecords();
        QCOMPARE(window.recordScore[1], QStringLiteral("0"));
    }

    void aNegativeScoreShowsItsSignAndIsNeverDisplaced()
    {
        ShowRecords();
        QByteArray image = ReadAll(path());
        image[1280 + 2 * 128] = '\xF9'; // place 3: -7
        image[1280 + 2 * 128 + 1] = '\xFF';
        WriteAll(path(), image);
        window.inputs.push_back(QStringLiteral("Ann"));
        winIn(650);
        QCOMPARE(shownScores(), QStringList({"500", "600", "-7", "650", "800", "900", "1000", "1100",
                                             "1200", "1300"}));
    }

    void namesSurviveAsTheFileHoldsThem()
    {
        ShowRecords();
        QByteArray tail("tail bytes after record 20");
        QByteArray image = ReadAll(path()) + tail;
        WriteAll(path(), image);

        const QString cyrillic = QStringLiteral("Юлия Щёкина-Эйдельман");
        window.inputs.push_back(cyrillic);
        winIn(100);
        QByteArray file = ReadAll(path());
        QVERIFY(file.endsWith(tail)); // bytes after record 20 are kept
        QCOMPARE(file.size(), 2560 + tail.size());
        QCOMPARE(file.mid(2, cyrillic.size()), Cp1251(cyrillic));

        // Characters the code page lacks become '?'; a long name is cut to
        // the 126 bytes its record holds, on screen as in the file.
        const QString foreign = QStringLiteral("Li 李 😀 ok") + QString(200, QLatin1Char('x'));
        window.inputs.push_back(foreign);
        winIn(50);
        file = ReadAll(path());
        QCOMPARE(Word(file, 0), quint16(126));
        QCOMPARE(file.mid(2, 10), QByteArray("Li ? ? okx"));
        QCOMPARE(window.recordName[0].size(), 126);
        QVERIFY(file.endsWith(tail));
        // The older record moved down a place, byte for byte.
        QCOMPARE(file.mid(128 + 2, cyrillic.size()), Cp1251(cyrillic));

        // A damaged length never reads past its record.
        file[0] = '\xFF';
        file[1] = '\x7F';
        WriteAll(path(), file);
        ShowRecords();
        QCOMPARE(window.recordName[0].size(), 126);
    }

    void whatIsNotATableIsWarnedOfAndLeftAsItIs_data()
    {
        QTest::addColumn<QString>("thing");
        QTest::addColumn<bool>("warns");
        for (const char *thing : {"pipe", "socket", "link to /dev/zero", "20 MB file", "directory"})
            QTest::newRow(thing) << QString::fromLatin1(thing) << true;
        QTest::newRow("link to a records file") << QStringLiteral("link") << false;
    }
    void whatIsNotATableIsWarnedOfAndLeftAsItIs()
    {
        QFETCH(QString, thing);
        QFETCH(bool, warns);
        const QByteArray name = QFile::encodeName(path());
        if (thing == QStringLiteral("pipe")) {
            QCOMPARE(::mkfifo(name.constData(), 0600), 0);
        } else if (thing == QStringLiteral("socket")) {
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            qstrncpy(address.sun_path, name.constData(), sizeof address.sun_path);
            const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QCOMPARE(::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
            ::close(s);
        } else if (thing == QStringLiteral("link to /dev/zero")) {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path()));
        } else if (thing == QStringLiteral("20 MB file")) {
            WriteAll(path(), Image({1}) + QByteArray(20'000'000, 'x'));
        } else if (thing == QStringLiteral("directory")) {
            QVERIFY(QDir().mkpath(path() + QStringLiteral("/keep")));
        } else {
            QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("real"))));
            WriteAll(dir.filePath(QStringLiteral("real/tarmelon.dat")), Image({900}));
            QVERIFY(QFile::link(QStringLiteral("real/tarmelon.dat"), path()));
        }
        const QByteArray before = Describe(path());
        window.inputs.push_back(QStringLiteral("Ann"));
        winIn(650);
        QCOMPARE(window.recordName[warns ? 2 : 0], QStringLiteral("Ann")); // shown for this display
        QCOMPARE(window.recordScore[warns ? 2 : 0], QStringLiteral("650"));
        QCOMPARE(window.endedWith, -1);
        if (warns) {
            QCOMPARE(window.countDialogs(QStringLiteral("message")), 2); // read, then not saved
            QCOMPARE(window.dialogs[0].style, 48);
            QVERIFY(window.dialogs[0].text.contains(path()));
            QCOMPARE(Describe(path()), before);
            QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System),
                     QStringList(QStringLiteral("tarmelon.dat")));
        } else {
            QCOMPARE(window.countDialogs(QStringLiteral("message")), 0);
            QVERIFY(QFileInfo(path()).isSymLink());
            QCOMPARE(Word(ReadAll(path()), 1280), quint16(650));
        }
        QFile::remove(dir.filePath(QStringLiteral("real/tarmelon.dat")));
    }

    void anotherGamesSaveDuringTheNameBoxIsKept_data()
    {
        QTest::addColumn<QByteArray>("other"); // what the other game leaves; empty: removes the file
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<int>("place"); // 0 = none
        QTest::newRow("a record entered meanwhile")
            << Image({500, 600, 640, 700, 800, 900, 1000, 1100, 1200, 1300})
            << QStringList({"500", "600", "640", "650", "700", "800", "900", "1000", "1100", "1200"}) << 4;
        QTest::newRow("no place left meanwhile") << Image({100, 200, 300, 400, 500, 600, 650, 650, 650, 650})
            << QStringList({"100", "200", "300", "400", "500", "600", "650", "650", "650", "650"}) << 0;
        QTest::newRow("the file removed meanwhile") << QByteArray()
            << QStringList({"500", "600", "650", "700", "800", "900", "1000", "1100", "1200", "1300"}) << 3;
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
        window.inputs.push_back(QStringLiteral("Ann"));
        winIn(650);
        QCOMPARE(window.countDialogs(QStringLiteral("message")), 0);
        QCOMPARE(shownScores(), scores); // what was saved
        if (place == 0)
            QCOMPARE(ReadAll(path()), other);
        else
            QCOMPARE(window.recordName[place - 1], QStringLiteral("Ann"));
        window = ScriptedWindow();
        SetWindow(&window);
        ShowRecords();
        QCOMPARE(shownScores(), scores);
    }

    void twoRunningGamesBothKeepTheirRecords()
    {
        ShowRecords();
        QProcess first, second;
        first.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--rival"), dir.path(), QStringLiteral("650"), QStringLiteral("Аня"), QStringLiteral("Боря")});
        second.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--rival"), dir.path(), QStringLiteral("750"), QStringLiteral("Боря"), QStringLiteral("Аня")});
        QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);
        ShowRecords();
        QCOMPARE(shownScores(), QStringList({"500", "600", "650", "700", "750", "800", "900", "1000",
                                             "1100", "1200"}));
        QCOMPARE(window.recordName[2], QStringLiteral("Аня"));
        QCOMPARE(window.recordName[4], QStringLiteral("Боря"));
    }

    void aKilledSaveLeavesTheOldTableOrTheNew()
    {
        // Table k names every place "k"; each save writes table k + 1 over
        // the table k it reads, keeping the bytes after record 20.
        const auto table = [](int k) {
            return Image({500, 600, 700, 800, 900, 1000, 1100, 1200, 1300, 1400}, QString::number(k));
        };
        const auto k = [](const QByteArray &image) { return recordfile::DecodePlaces(image)[0].Name.toInt(); };
        const auto save = [&] {
            return recordfile::Update(path(), [&](const QByteArray &image) {
                return std::optional(table(k(image) + 1) + image.mid(2560));
            });
        };
        const QByteArray tail = QByteArray("tail after record 20").repeated(3);
        WriteAll(path(), table(0) + tail);
        // A child that saves once and ends, as the kills will come: they
        // spread over about twice its time.
        const auto saveInAChild = [&](int saves) {
            const pid_t child = fork();
            if (child == 0) {
                alarm(10); // never outlives a parent that failed to kill it
                for (int n = 0; n != saves; ++n)
                    save();
                _exit(0);
            }
            return child;
        };
        QElapsedTimer timer;
        timer.start();
        for (int n = 0; n < 5; ++n)
            ::waitpid(saveInAChild(1), nullptr, 0);
        const int spread = int(timer.nsecsElapsed() / 5000 * 2) + 1; // µs
        int last = k(ReadAll(path())), locksLeft = 0;
        const int first = last;
        timer.start();
        for (int round = 0; round < 200; ++round) {
            const pid_t child = saveInAChild(-1);
            QThread::usleep(QRandomGenerator::global()->bounded(spread));
            ::kill(child, SIGKILL);
            int status = 0;
            ::waitpid(child, &status, 0);
            QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
            const QByteArray file = ReadAll(path());
            QVERIFY2(file == table(k(file)) + tail, qPrintable(QStringLiteral("round %1").arg(round)));
            QVERIFY(k(file) >= last);
            last = k(file);
            locksLeft += QFile::exists(path() + QStringLiteral(".lock"));
        }
        qInfo("200 kills in %.1f s: %d saves completed, %d locks left behind",
              timer.elapsed() / 1000.0, last - first, locksLeft);
        // Whatever lock the last kill left is recovered, and so is one a
        // kill left before Qt wrote its owner into it.
        QCOMPARE(save(), QString());
        for (const QString &lock : {path() + QStringLiteral(".lock"), path() + QStringLiteral(".lock.rmlock")}) {
            WriteAll(lock, {});
            QFile file(lock);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-1), QFileDevice::FileModificationTime));
        }
        QCOMPARE(save(), QString());
    }

    void aFullDiskKeepsTheTable_data()
    {
        QTest::addColumn<int>("free"); // bytes left
        QTest::addColumn<QString>("reason");
        QTest::newRow("no room for the lock file") << 0 << QStringLiteral("блокировки");
        QTest::newRow("room for the lock file, not for the new table") << 32 * 1024
                                                                        << qt_error_string(ENOSPC);
    }
    void aFullDiskKeepsTheTable()
    {
        // run_on_small_disk.sh mounts a small empty filesystem for this.
        const QString disk = qEnvironmentVariable("TARMELON_SMALL_DISK");
        if (disk.isEmpty())
            QSKIP("needs a small filesystem of its own");
        QFETCH(int, free);
        QFETCH(QString, reason);
        DataDir = disk;
        // A table of 15 pages, so that its copy does not fit in 8.
        WriteAll(RecordsPath(), Image({500, 600, 700, 800, 900, 1000, 1100, 1200, 1300, 1400}) + QByteArray(56 * 1024, 't'));
        QFile filler(disk + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
        }
        filler.close();
        QVERIFY(filler.resize(filler.size() - free));
        const QByteArray before = ReadAll(RecordsPath());
        window.inputs.push_back(QStringLiteral("Ann"));
        winIn(650);
        QCOMPARE(window.countDialogs(QStringLiteral("message")), 1);
        QVERIFY2(window.dialogs.last().text.contains(reason), qPrintable(window.dialogs.last().text));
        QCOMPARE(ReadAll(RecordsPath()), before);
        QCOMPARE(QDir(disk).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                 QStringList({QStringLiteral("filler"), QStringLiteral("tarmelon.dat")}));
        QVERIFY(filler.remove());
    }

    void aDirectoryThatCannotBeWrittenIsWarnedOf()
    {
        // Nothing can be created under /proc, not even by root.
        DataDir = QStringLiteral("/proc/tarmelon-no-such-dir");
        ShowRecords();
        QCOMPARE(window.countDialogs(QStringLiteral("message")), 1);
        QVERIFY(window.dialogs[0].text.contains(RecordsPath()));
        QCOMPARE(shownNames(), QStringList(10, Zarvel));
        QCOMPARE(window.endedWith, -1);
    }

    void aWritableFileInAReadOnlyDirectoryIsWrittenInPlace()
    {
        if (geteuid() == 0)
            QSKIP("root writes in any directory");
        ShowRecords();
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        window.inputs.push_back(QStringLiteral("Ann"));
        winIn(650);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(window.countDialogs(QStringLiteral("message")), 0);
        QCOMPARE(Word(ReadAll(path()), 1280 + 2 * 128), quint16(650));
    }

    void anUnwritableFileKeepsItsTable()
    {
        if (geteuid() == 0)
            QSKIP("root writes any file");
        ShowRecords();
        const QByteArray before = ReadAll(path());
        QFile::setPermissions(path(), QFile::ReadOwner);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        window.inputs.push_back(QStringLiteral("Ann"));
        winIn(650);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(window.countDialogs(QStringLiteral("message")), 1);
        QCOMPARE(window.recordScore[2], QStringLiteral("650"));
        QCOMPARE(ReadAll(path()), before);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 6 && args[1] == QStringLiteral("--rival"))
        return RivalGame(args.mid(2));
    RecordsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_records.moc"
