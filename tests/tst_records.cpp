// The records table, its file and the records step after a won game.

#include "scriptedwindow.h"

#include "records/records.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

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

    void aRecordsFileThatCannotBeReadIsWarnedOfAndKept()
    {
        // The records "file" is a directory: nothing can be read or written.
        QVERIFY(QDir().mkpath(path() + QStringLiteral("/keep")));
        window.inputs.push_back(QStringLiteral("Ann"));
        winIn(650);
        QCOMPARE(window.countDialogs(QStringLiteral("message")), 2); // read, then not saved
        QCOMPARE(window.dialogs[0].icon, Box::Warning);
        QVERIFY(window.dialogs[0].text.contains(path()));
        QCOMPARE(window.recordName[2], QStringLiteral("Ann")); // shown for this display
        QCOMPARE(window.recordScore[2], QStringLiteral("650"));
        QVERIFY(QFileInfo(path() + QStringLiteral("/keep")).isDir());
        QCOMPARE(window.endedWith, -1);
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

QTEST_GUILESS_MAIN(RecordsTest)
#include "tst_records.moc"
