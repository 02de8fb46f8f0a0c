// New games, spawning after a move, victory, and the game clock.

#include "scriptedgenerator.h"
#include "scriptedwindow.h"

#include "game/board.h"
#include "game/clock.h"
#include "game/dealing.h"
#include "game/moves.h"
#include "records/records.h"
#include "ui/commands.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tarmelon;
using namespace tarmelon::test;

namespace {

// Fills every cell but those listed with red 1s, the rest as given.
void FillBoardExcept(std::initializer_list<int> free)
{
    for (int i = 0; i < CellCount; ++i)
        SetCell(i, std::find(free.begin(), free.end(), i) == free.end() ? 1 : 0);
}

} // namespace

class DealingTest : public QObject {
    Q_OBJECT
    ScriptedWindow window;
    ScriptedGenerator generator{11};
    QTemporaryDir dataDir;

private slots:
    void initTestCase() { QVERIFY(dataDir.isValid()); }
    void init()
    {
        window = ScriptedWindow();
        ResetGame(window, dataDir.path());
        generator = ScriptedGenerator(11);
        SetGenerator(&generator);
    }
    void cleanupTestCase() { SetGenerator(nullptr); }

    void newGameDealsTwentyFourAndStartsTheClock()
    {
        ShowHelp();
        NewGame();
        QCOMPARE(SpheresOnBoard(), 24);
        QCOMPARE(Game.RedCount + Game.BlueCount, 24);
        QCOMPARE(window.counter[0], QString::number(Game.RedCount));
        QCOMPARE(window.counter[1], QString::number(Game.BlueCount));
        for (int i = 0; i < CellCount; ++i) {
            QCOMPARE(window.cellPicture[i], int(Game.Board[i]));
            QCOMPARE(window.cellToolTip[i], CellToolTip(Game.Board[i]));
        }
        QCOMPARE(window.seconds, QStringLiteral("0"));
        QVERIFY(!window.markerVisible);
        QCOMPARE(window.shownPanel(), 1);
        QCOMPARE(window.clockInterval, 1000);
        QCOMPARE(generator.reseeds, 1);
    }

    void drawsTakeTheCellBeforeTheValueAndRetryTakenCells()
    {
        InitialSpheres = 2;
        generator.Place(5, 18);                 // blue 9 in cell 5
        generator.script.push_back(5.5 / 64);   // cell 5 again: taken, draw again
        generator.Place(6, 1);                  // red 1 in cell 6
        NewGame();
        QCOMPARE(int(Game.Board[5]), 18);
        QCOMPARE(int(Game.Board[6]), 1);
        QCOMPARE(SpheresOnBoard(), 2);
        QCOMPARE(generator.draws, 5);
        QVERIFY(generator.script.empty());
    }

    void newGameDuringAGameStartsAfresh()
    {
        NewGame();
        for (int k = 0; k < 7; ++k)
            ClockTick();
        Game.SelectState = OneSelected;
        window.markerVisible = true;
        generator.SetSeed(12345);
        NewGame();
        QCOMPARE(SpheresOnBoard(), 24);
        QCOMPARE(Game.RedCount + Game.BlueCount, 24);
        QCOMPARE(int(Game.ElapsedSeconds), 0);
        QCOMPARE(window.seconds, QStringLiteral("0"));
        QCOMPARE(int(Game.SelectState), NothingSelected);
        QVERIFY(!window.markerVisible);
        QCOMPARE(generator.reseeds, 2); // re-seeded at every new game
    }

    void spawningStopsAtAFullBoard_data()
    {
        QTest::addColumn<int>("freeCells");
        QTest::addColumn<int>("added");
        // An absorption (red 5 on blue 3) frees one cell and asks for three.
        QTest::newRow("62 after the move: adds two") << 1 << 2;
        QTest::newRow("63 after the move: adds one") << 0 << 1;
    }
    void spawningStopsAtAFullBoard()
    {
        QFETCH(int, freeCells);
        QFETCH(int, added);
        FillBoardExcept(freeCells ? std::initializer_list<int>{60} : std::initializer_list<int>{});
        SetCell(0, 5);
        SetCell(1, 12);
        CellClick(0);
        window.cellWrites.clear();
        CellClick(1);
        int placed = 0;
        for (const auto &[cell, value] : window.cellWrites)
            placed += value != 0 && cell != 1;
        QCOMPARE(placed, added);
        QCOMPARE(Game.RedCount + Game.BlueCount, 64);
        QCOMPARE(SpheresOnBoard(), 64);
        QCOMPARE(int(Game.Board[1]), 2);
        // The full board stays playable: the next move frees a cell.
        CellClick(2);
        CellClick(3);
        QCOMPARE(int(Game.Board[3]), 2);
        QCOMPARE(SpheresOnBoard(), 64);
    }

    void victoryShowsTheMessageOnceThenTheRecordsWithTheRealTime()
    {
        NewGame();
        for (int i = 0; i < CellCount; ++i)
            SetCell(i, 0);
        SetCell(8, 7);
        SetCell(9, 16);
        for (int k = 0; k < 650; ++k)
            ClockTick();
        window.inputs.push_back(QStringLiteral("Победитель"));
        QList<int> panelsAtDialogs;
        QList<int> clockAtDialogs;
        window.onDialog = [&](const Dialog &) {
            panelsAtDialogs.append(window.shownPanel());
            clockAtDialogs.append(window.clockInterval);
        };
        CellClick(8);
        CellClick(9);
        QCOMPARE(window.dialogs.size(), 2);
        QCOMPARE(window.dialogs[0].kind, QStringLiteral("message"));
        QCOMPARE(window.dialogs[0].text, QStringLiteral("Все сферы удалены"));
        QCOMPARE(window.dialogs[0].title, QStringLiteral("Победа!"));
        QCOMPARE(window.dialogs[0].style, 48);
        QCOMPARE(window.dialogs[1].kind, QStringLiteral("input"));
        // The message comes on the board with the clock still running; the
        // records panel and the stopped clock only after it.
        QCOMPARE(panelsAtDialogs, QList<int>({1, 2}));
        QCOMPARE(clockAtDialogs, QList<int>({1000, 0}));
        QCOMPARE(window.recordName[2], QStringLiteral("Победитель"));
        QCOMPARE(window.recordScore[2], QStringLiteral("650"));
        QCOMPARE(int(Game.SelectState), NothingSelected);
        QVERIFY(!window.markerVisible);
    }

    void aWinIsNeverLostToTheClock_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("tickIn"); // the box open at the tick
        QTest::addColumn<QString>("stored"); // empty: no place
        QTest::newRow("5001 s in the victory box") << 5000 << "message" << "5001";
        QTest::newRow("5001 s in the name box") << 5000 << "input" << "5000";
        QTest::newRow("the top of the count: no overflow, no place") << 32767 << "message" << "";
    }
    void aWinIsNeverLostToTheClock()
    {
        QFETCH(int, seconds);
        QFETCH(QString, tickIn);
        QFETCH(QString, stored);
        ShowRecords();
        QFile file(RecordsPath()); // scores of 32767: any time but that gets in
        QVERIFY(file.open(QIODevice::ReadWrite));
        for (int n = 0; n < 10; ++n)
            QVERIFY(file.seek((n + 10) * 128) && file.write("\xff\x7f", 2) == 2);
        file.close();
        NewGame();
        for (int i = 0; i < CellCount; ++i)
            SetCell(i, 0);
        SetCell(8, 7);
        SetCell(9, 16);
        Game.ElapsedSeconds = static_cast<std::int16_t>(seconds);
        window.onDialog = [&](const Dialog &d) {
            if (d.kind == tickIn)
                ClockTick();
        };
        CellClick(8);
        CellClick(9);
        QCOMPARE(SpheresOnBoard(), 0); // no new game dealt
        QCOMPARE(window.shownPanel(), 2);
        QCOMPARE(window.countDialogs("input"), stored.isEmpty() ? 0 : 1);
        QCOMPARE(window.recordScore[0], stored.isEmpty() ? "32767" : stored);
    }

    void clockCountsAndReplacesAGameAfter5000Seconds()
    {
        NewGame();
        Game.ElapsedSeconds = 0;
        ClockTick();
        QCOMPARE(window.seconds, QStringLiteral("1"));
        ClockTick();
        QCOMPARE(window.seconds, QStringLiteral("2"));

        ShowHelp();          // help leaves it running
        QCOMPARE(window.clockInterval, 1000);
        window.answers.push_back(Answer::No);
        ExitCommand();       // so does the exit question answered No
        QCOMPARE(window.clockInterval, 1000);

        Game.ElapsedSeconds = 4999;
        generator.SetSeed(99);
        ClockTick();
        QCOMPARE(int(Game.ElapsedSeconds), 5000); // still the running game
        QCOMPARE(window.shownPanel(), 0);
        const auto board = Game.Board;
        ClockTick();
        QCOMPARE(int(Game.ElapsedSeconds), 0);   // 5001: a fresh game
        QCOMPARE(window.seconds, QStringLiteral("0"));
        QCOMPARE(window.shownPanel(), 1);
        QVERIFY(Game.Board != board);
        QCOMPARE(window.countDialogs(QStringLiteral("message")), 1); // only the exit question

        ClockTick();
        ShowRecords();       // the records stop it, and the count stays
        QCOMPARE(window.clockInterval, 0);
        QCOMPARE(int(Game.ElapsedSeconds), 1);
        QCOMPARE(window.countDialogs(QStringLiteral("input")), 0);
    }
};

QTEST_GUILESS_MAIN(DealingTest)
#include "tst_dealing.moc"
