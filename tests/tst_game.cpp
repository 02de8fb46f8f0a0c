// SPDX-License-Identifier: GPL-3.0-or-later
// The game core through a scripted window: cells and counters, moves,
// dealing and spawning, victory, the clock, and the shell's commands.

#include "scriptedgenerator.h"
#include "scriptedwindow.h"

#include "game/board.h"
#include "game/checked.h"
#include "game/clock.h"
#include "game/dealing.h"
#include "game/moves.h"
#include "ui/commands.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tarmelon;
using namespace tarmelon::test;

class GameTest : public QObject {
    Q_OBJECT
    ScriptedWindow window;
    ScriptedGenerator generator{7};
    QTemporaryDir dir;

    // Plays cell `first` onto cell `second`.
    void move(int first, int second)
    {
        CellClick(first);
        CellClick(second);
    }

private slots:
    void init()
    {
        window = ScriptedWindow();
        ResetGame(window, dir.path());
        generator = ScriptedGenerator(7);
        SetGenerator(&generator);
        SetProgramEnding(false);
    }
    void cleanupTestCase() { SetGenerator(nullptr); }

    void setCellKeepsCountersPictureTooltipAndLabels_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("blue");
        QTest::addColumn<QString>("tip");
        // Two spheres stand elsewhere (red 2, blue 4), so counts start at 1 / 1.
        QTest::newRow("empty to red 5") << 0 << 5 << 2 << 1 << QStringLiteral("кр. < 5 >");
        QTest::newRow("red to empty") << 3 << 0 << 1 << 1 << QString();
        QTest::newRow("red 3 to blue 3") << 3 << 12 << 1 << 2 << QStringLiteral("син. < 3 >");
        QTest::newRow("blue 5 to itself") << 14 << 14 << 1 << 2 << QStringLiteral("син. < 5 >");
        QTest::newRow("red 9") << 0 << 9 << 2 << 1 << QStringLiteral("кр. < 9 >");
        QTest::newRow("blue 1 is value 10") << 0 << 10 << 1 << 2 << QStringLiteral("син. < 1 >");
    }
    void setCellKeepsCountersPictureTooltipAndLabels()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(int, red);
        QFETCH(int, blue);
        QFETCH(QString, tip);
        SetCell(0, 2);
        SetCell(63, 13);
        SetCell(20, before);
        window.counter = {QStringLiteral("stale"), QStringLiteral("stale")};
        SetCell(20, after);
        QCOMPARE(int(Game.Board[20]), after);
        QCOMPARE(window.cellPicture[20], after);
        QCOMPARE(window.cellToolTip[20], tip);
        QCOMPARE(window.counter, (std::array<QString, 2>{QString::number(red), QString::number(blue)}));
        QCOMPARE(std::pair(int(Game.RedCount), int(Game.BlueCount)), std::pair(red, blue));
        // Out of range is a run-time error that touches nothing.
        QVERIFY_THROWS_EXCEPTION(RunTimeError, SetCell(64, 1));
        QVERIFY_THROWS_EXCEPTION(RunTimeError, SetCell(20, 19));
        QCOMPARE(int(Game.Board[20]), after);
    }

    void workedMoves_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("added");
        QTest::newRow("red 3 + red 4 = red 7") << 3 << 4 << 7 << 1;
        QTest::newRow("red 4 + red 5 = red 9") << 4 << 5 << 9 << 1;
        QTest::newRow("red 5 + red 5 = blue 1") << 5 << 5 << 10 << 1;
        QTest::newRow("red 5 + red 7 = blue 3") << 5 << 7 << 12 << 1;
        QTest::newRow("red 9 + red 9 = blue 9") << 9 << 9 << 18 << 1;
        QTest::newRow("blue 3 + blue 4 = blue 7") << 12 << 13 << 16 << 1;
        QTest::newRow("blue 5 + blue 7 = red 3") << 14 << 16 << 3 << 1;
        QTest::newRow("red 5 + blue 3 = red 2") << 5 << 12 << 2 << 3;
        QTest::newRow("red 2 + blue 3 = blue 1") << 2 << 12 << 10 << 3;
        QTest::newRow("blue 2 + red 6 = red 4") << 11 << 6 << 4 << 3;
        QTest::newRow("red 6 + blue 2 = red 4") << 6 << 11 << 4 << 3;
        QTest::newRow("blue 7 + red 3 = blue 4") << 16 << 3 << 13 << 3;
        QTest::newRow("red 4 + blue 4 vanish") << 4 << 13 << 0 << 0;
        QTest::newRow("blue 9 + red 9 vanish") << 18 << 9 << 0 << 0;
    }
    void workedMoves()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(int, result);
        QFETCH(int, added);
        // Cells 10 and 20 play; a bystander keeps the board from emptying;
        // spawned spheres go where they cannot hide the result.
        SetCell(10, first);
        SetCell(20, second);
        SetCell(0, 1);
        for (int k = 0; k < 3; ++k)
            generator.Place(40 + k, 7);
        CellClick(10);
        QCOMPARE(std::pair(window.markerLeft, window.markerTop), ScriptedWindow::Place(10));
        QVERIFY(window.markerVisible);
        window.cellWrites.clear();
        CellClick(20);
        // The first cell is emptied before the result is written.
        QCOMPARE(window.cellWrites.mid(0, 2), (QList<std::pair<int, int>>{{10, 0}, {20, result}}));
        QCOMPARE(int(Game.SpawnCount), IsBlue(first) == IsBlue(second) ? 1 : 3);
        QCOMPARE(SpheresOnBoard(), (result ? 2 : 1) + added);
        // The bystander and the spawned spheres are red.
        QCOMPARE(std::pair(int(Game.RedCount), int(Game.BlueCount)),
                 std::pair(1 + int(IsRed(result)) + added, int(IsBlue(result))));
        QCOMPARE(int(Game.SelectState), NothingSelected);
        QVERIFY(!window.markerVisible);
        QCOMPARE(window.dialogs.size(), 0);
    }

    void aClickActsByTheSelectState_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("clicked"); // the selected sphere is cell 10
        QTest::addColumn<int>("stateAfter");
        QTest::addColumn<bool>("boardChanges");
        QTest::newRow("nothing selected, empty cell") << 0 << 33 << 0 << false;
        QTest::newRow("nothing selected, sphere") << 0 << 20 << 1 << false;
        QTest::newRow("selected, empty cell") << 1 << 33 << 0 << false;
        QTest::newRow("selected, the selected sphere") << 1 << 10 << 1 << false;
        QTest::newRow("selected, another sphere") << 1 << 20 << 0 << true;
        QTest::newRow("won, empty cell") << 5 << 33 << 0 << false;
        QTest::newRow("won, sphere") << 5 << 20 << 5 << false;
    }
    void aClickActsByTheSelectState()
    {
        QFETCH(int, state);
        QFETCH(int, clicked);
        QFETCH(int, stateAfter);
        QFETCH(bool, boardChanges);
        SetCell(10, 3);
        SetCell(20, 4);
        SetCell(30, 6);
        Game.SelectState = static_cast<std::uint8_t>(state);
        Game.FirstCell = 10;
        Game.FirstValue = 3;
        window.markerVisible = state != 0;
        const auto board = Game.Board;
        CellClick(clicked);
        QCOMPARE(int(Game.SelectState), stateAfter);
        QCOMPARE(window.markerVisible, stateAfter != 0);
        QCOMPARE(Game.Board != board, boardChanges);
    }

    void newGameDealsAfreshAndStartsTheClock()
    {
        ShowHelp();
        InitialSpheres = 2;
        generator.Place(5, 18);               // blue 9 in cell 5
        generator.script.push_back(5.5 / 64); // cell 5 again: taken, draw again
        generator.Place(6, 1);                // red 1 in cell 6
        NewGame();
        QCOMPARE(int(Game.Board[5]), 18);
        QCOMPARE(int(Game.Board[6]), 1);
        QCOMPARE(generator.draws, 5); // the cell is drawn before the value
        InitialSpheres = 24;
        Game.SelectState = OneSelected;
        Game.ElapsedSeconds = 7;
        NewGame();
        QCOMPARE(SpheresOnBoard(), 24);
        QCOMPARE(Game.RedCount + Game.BlueCount, 24);
        for (int i = 0; i < CellCount; ++i)
            QCOMPARE(window.cellToolTip[i], CellToolTip(Game.Board[i]));
        QCOMPARE(window.seconds, QStringLiteral("0"));
        QCOMPARE(int(Game.SelectState), NothingSelected);
        QVERIFY(!window.markerVisible);
        QCOMPARE(window.shownPanel(), 1);
        QCOMPARE(window.clockInterval, 1000);
        QCOMPARE(generator.reseeds, 2); // re-seeded at every new game
    }

    void spawningStopsAtAFullBoard()
    {
        // A full board but for cell 60; an absorption frees a cell and asks
        // for three: two fit.
        for (int i = 0; i < CellCount; ++i)
            SetCell(i, i == 60 ? 0 : 1);
        SetCell(0, 5);
        SetCell(1, 12);
        move(0, 1);
        QCOMPARE(SpheresOnBoard(), 64);
        QCOMPARE(Game.RedCount + Game.BlueCount, 64);
        QCOMPARE(int(Game.Board[1]), 2);
    }

    void theLastPairWinsIntoTheRecordsWithTheRealTime()
    {
        NewGame();
        for (int i = 0; i < CellCount; ++i)
            SetCell(i, 0);
        SetCell(8, 7);
        SetCell(9, 16);
        for (int k = 0; k < 650; ++k)
            ClockTick();
        window.inputs.push_back(QStringLiteral("Победитель"));
        QList<int> panels, clocks;
        QList<bool> markers;
        window.onDialog = [&](const Dialog &) {
            panels << window.shownPanel();
            clocks << window.clockInterval;
            markers << window.markerVisible;
        };
        move(8, 9);
        QCOMPARE(window.dialogs[0].text, QStringLiteral("Все сферы удалены"));
        QCOMPARE(window.dialogs[0].title, QStringLiteral("Победа!"));
        QCOMPARE(window.dialogs[0].icon, Box::Warning);
        QCOMPARE(window.dialogs[1].kind, QStringLiteral("input"));
        // The message comes on the board with the clock running and the
        // marker shown; the records and the stopped clock only after it.
        QCOMPARE(panels, QList<int>({1, 2}));
        QCOMPARE(clocks, QList<int>({1000, 0}));
        QCOMPARE(markers, QList<bool>({true, true}));
        QCOMPARE(window.recordScore[2], QStringLiteral("650"));
        QCOMPARE(window.recordName[2], QStringLiteral("Победитель"));
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
            SetCell(i, i == 8 ? 7 : i == 9 ? 16 : 0);
        Game.ElapsedSeconds = static_cast<std::int16_t>(seconds);
        window.onDialog = [&](const Dialog &d) {
            if (d.kind == tickIn)
                ClockTick();
        };
        move(8, 9);
        QCOMPARE(SpheresOnBoard(), 0); // no new game dealt
        QCOMPARE(window.shownPanel(), 2);
        QCOMPARE(window.countDialogs("input"), stored.isEmpty() ? 0 : 1);
        QCOMPARE(window.recordScore[0], stored.isEmpty() ? "32767" : stored);
    }

    void theClockReplacesAGamePast5000Seconds()
    {
        NewGame();
        ClockTick();
        QCOMPARE(window.seconds, QStringLiteral("1"));
        ShowHelp(); // help leaves it running; so does the exit question
        window.answers.push_back(Box::No);
        ExitCommand();
        QCOMPARE(window.clockInterval, 1000);
        Game.ElapsedSeconds = 4999;
        const auto board = Game.Board;
        generator.SetSeed(99);
        ClockTick();
        QCOMPARE(Game.Board, board); // 5000: still the running game
        ClockTick();
        QCOMPARE(int(Game.ElapsedSeconds), 0); // 5001: a fresh game
        QCOMPARE(window.shownPanel(), 1);
        QVERIFY(Game.Board != board);
        ClockTick();
        ShowRecords(); // the records stop it and ask nothing
        QCOMPARE(window.clockInterval, 0);
        QCOMPARE(int(Game.ElapsedSeconds), 1);
        QCOMPARE(window.countDialogs(QStringLiteral("input")), 0);
    }

    void everyCommandShowsItsPanelAlone()
    {
        QDir::setCurrent(dir.path());
        Main();
        QCOMPARE(int(InitialSpheres), 24);
        QCOMPARE(DataDir, dir.path());
        QCOMPARE(window.shownPanel(), 0);
        const int shown[] = {0, 1, 2, 3, 0};
        for (int first = 1; first <= 4; ++first) {
            for (int second = 1; second <= 4; ++second) {
                window.answers = {Box::No, Box::No};
                ToolbarClick(first);
                QCOMPARE(window.shownPanel(), shown[first]);
                ToolbarClick(second);
                QCOMPARE(window.shownPanel(), shown[second]);
            }
        }
    }

    void exitAsksAndEndsOnlyOnYes()
    {
        ToolbarClick(1);
        int panelsWhileAsked = -1;
        window.onDialog = [&](const Dialog &) { panelsWhileAsked = window.shownPanel(); };
        window.answers = {Box::No, Box::Yes};
        ToolbarClick(4);
        QCOMPARE(panelsWhileAsked, 0); // every panel hidden before the question
        QCOMPARE(window.dialogs[0].text, QStringLiteral("Вы уверены?"));
        QCOMPARE(window.dialogs[0].title, QStringLiteral("ВЫХОД"));
        QCOMPARE(window.dialogs[0].buttons, unsigned(Box::Yes | Box::No));
        QCOMPARE(window.endedWith, -1);
        RunHandler([] { ToolbarClick(4); });
        QCOMPARE(window.endedWith, 0);
        bool ran = false; // once ending, no handler runs
        RunHandler([&] { ran = true; });
        QVERIFY(!ran);
    }

    void aRunTimeErrorShowsItsBoxAndEndsWithItsNumber()
    {
        for (int number : {6, 9}) {
            SetProgramEnding(false);
            window.dialogs.clear();
            RunHandler([number] { number == 6 ? void(ToByte(300)) : void(Subscript(64, 0, 63)); });
            QCOMPARE(window.dialogs.size(), 1);
            QCOMPARE(window.dialogs[0].icon, Box::Critical);
            QVERIFY(window.dialogs[0].text.contains(QString::number(number)));
            QCOMPARE(window.endedWith, number);
        }
    }
};

QTEST_GUILESS_MAIN(GameTest)
#include "tst_game.moc"
