// SPDX-License-Identifier: GPL-3.0-or-later
// The game core through a scripted window: cells and counters, moves,
// dealing and spawning, victory, the clock, and the shell's commands.

#include "scriptedwindow.h"

#include "game/checked.h"
#include "game/clock.h"
#include "game/moves.h"
#include "ui/commands.h"

#include <QTemporaryDir>
#include <QTest>

#include <random>

using namespace tarmelon;
using namespace tarmelon::test;

class GameTest : public QObject {
    Q_OBJECT
    ScriptedWindow window;
    ScriptedGenerator generator{7};
    QTemporaryDir dir;

    // Empties the board but for the listed spheres, (cell, value) pairs.
    void board(std::initializer_list<std::pair<int, int>> spheres)
    {
        for (int i = 0; i < CellCount; ++i)
            SetCell(i, 0);
        for (auto [cell, value] : spheres)
            SetCell(cell, value);
    }
    // Everything the player sees agrees with the game state.
    bool inStep() const
    {
        int red = 0, blue = 0;
        for (int i = 0; i < CellCount; ++i) {
            red += IsRed(Game.Board[i]), blue += IsBlue(Game.Board[i]);
            if (window.cellPicture[i] != Game.Board[i] || window.cellToolTip[i] != CellWords(Game.Board[i]))
                return false;
        }
        return red == Game.RedCount && blue == Game.BlueCount
            && window.counter == std::array{QString::number(red), QString::number(blue)}
            && window.markerVisible == (Game.SelectState == OneSelected)
            && (!window.markerVisible || std::pair(window.markerLeft, window.markerTop) == ScriptedWindow::Place(Game.FirstCell));
    }

private slots:
    void init()
    {
        window = ScriptedWindow();
        ResetGame(window, dir.path());
        window.markerVisible = false;
        generator = ScriptedGenerator(7);
        SetGenerator(&generator);
        SetProgramEnding(false);
    }

    void setCellKeepsCountersAndTooltips()
    {
        // value set, tooltip; red 2 and blue 4 stand elsewhere throughout.
        const std::pair<int, const char *> steps[] = {{5, "кр. < 5 >"}, {12, "син. < 3 >"}, {12, "син. < 3 >"},
                                                      {0, ""}, {9, "кр. < 9 >"}, {10, "син. < 1 >"}};
        board({{0, 2}, {63, 13}});
        for (auto [value, tip] : steps) {
            SetCell(20, value);
            QCOMPARE(window.cellPicture[20], value);
            QCOMPARE(window.cellToolTip[20], QString::fromUtf8(tip));
            QVERIFY(inStep());
        }
        QVERIFY_THROWS_EXCEPTION(RunTimeError, SetCell(64, 1));
        QVERIFY_THROWS_EXCEPTION(RunTimeError, SetCell(20, 19));
    }

    void workedMoves_data()
    {
        QTest::addColumn<QList<int>>("move"); // first, second, result
        const int rows[][3] = {{3, 4, 7}, {4, 5, 9}, {13, 14, 18}, {5, 5, 10}, {5, 7, 12}, {9, 9, 18},
                               {12, 13, 16}, {14, 16, 3}, {5, 12, 2}, {2, 12, 10}, {11, 6, 4}, {6, 11, 4},
                               {16, 3, 13}, {4, 13, 0}, {18, 9, 0}};
        for (auto [first, second, result] : rows)
            QTest::addRow("%d onto %d makes %d", first, second, result) << QList<int>{first, second, result};
    }
    void workedMoves()
    {
        QFETCH(QList<int>, move);
        const int first = move[0], second = move[1], result = move[2];
        // A red 1 keeps the board from emptying; red 7s spawn where they cannot hide the result.
        board({{10, first}, {20, second}, {0, 1}});
        generator.Place(40, 7), generator.Place(41, 7), generator.Place(42, 7);
        CellClick(10);
        QVERIFY(inStep());
        window.cellWrites.clear();
        CellClick(20);
        // The first cell is emptied before the result is written.
        QCOMPARE(window.cellWrites.mid(0, 2), (QList<std::pair<int, int>>{{10, 0}, {20, result}}));
        QCOMPARE(SpheresOnBoard(), !result ? 1 : IsBlue(first) == IsBlue(second) ? 3 : 5); // 1 or 3 spawned
        QVERIFY(window.dialogs.isEmpty()); // a red 1 is left: no victory
        QVERIFY(Game.SelectState == NothingSelected && inStep());
    }

    void aClickActsByTheSelectState()
    {
        // state, clicked cell (the selected sphere is cell 10), state after, board changes
        const int rows[][4] = {{0, 33, 0, 0}, {0, 20, 1, 0}, {1, 33, 0, 0}, {1, 10, 1, 0}, {1, 20, 0, 1},
                               {5, 33, 0, 0}, {5, 20, 5, 0}};
        for (auto [state, clicked, after, changes] : rows) {
            board({{10, 3}, {20, 4}, {30, 6}});
            Game.SelectState = std::uint8_t(state), Game.FirstCell = 10, Game.FirstValue = 3;
            window.markerVisible = state != 0;
            const auto before = Game.Board;
            CellClick(clicked);
            QCOMPARE(std::pair(int(Game.SelectState), Game.Board != before), std::pair(after, bool(changes)));
            QCOMPARE(window.markerVisible, after != 0);
        }
    }

    void randomClicksKeepTheWindowInStep()
    {
        std::mt19937 clicks(2026);
        for (int k = 0; k < 10000; ++k) {
            if (k % 500 == 0)
                NewGame();
            CellClick(int(clicks() % CellCount));
            QVERIFY2(inStep(), qPrintable(QString("click %1").arg(k)));
        }
    }

    void newGameDealsAfreshAndStartsTheClock()
    {
        ShowHelp();
        InitialSpheres = 2;
        generator.Place(5, 18);               // blue 9 in cell 5
        generator.script.push_back(5.5 / 64); // cell 5 again: taken, draw again
        generator.Place(6, 1);
        NewGame();
        QCOMPARE(std::pair(int(Game.Board[5]), int(Game.Board[6])), std::pair(18, 1));
        QCOMPARE(generator.draws, 5); // the cell is drawn before the value
        InitialSpheres = 24;
        Game.SelectState = OneSelected;
        ClockTick();
        NewGame();
        QVERIFY(SpheresOnBoard() == 24 && inStep());
        QCOMPARE(std::tuple(window.seconds, window.shownPanel(), window.clockInterval), std::tuple(QString("0"), 1, 1000));
        QCOMPARE(generator.reseeds, 2); // re-seeded at every new game
    }

    void spawningStopsAtAFullBoard()
    {
        // Full but for cell 60: an absorption frees a cell and asks for three; two fit.
        for (int i = 0; i < CellCount; ++i)
            SetCell(i, i == 60 ? 0 : i == 0 ? 5 : i == 1 ? 12 : 1);
        CellClick(0);
        CellClick(1);
        QCOMPARE(Game.RedCount + Game.BlueCount, 64);
        QVERIFY(inStep());
    }

    void theLastPairWinsIntoTheRecords_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("tickIn"); // the box open at a clock tick
        QTest::addColumn<QString>("stored");
        QTest::newRow("650 s") << 650 << "" << "650";
        QTest::newRow("5001 s in the victory box: the win stands") << 5000 << "message" << "5001";
        QTest::newRow("5001 s in the name box: the win stands") << 5000 << "input" << "5000";
        QTest::newRow("the top of the count: no overflow, no place") << 32767 << "message" << "";
    }
    void theLastPairWinsIntoTheRecords()
    {
        QFETCH(int, seconds);
        QFETCH(QString, tickIn);
        QFETCH(QString, stored);
        recordfile::Places10 places; // every place 32767 s: any time gets in
        places.fill({32767, "Зарвел"});
        recordfile::Update(RecordsPath(), [&](const QByteArray &) { return recordfile::EncodePlaces(places, {}); });
        NewGame();
        board({{8, 7}, {9, 16}});
        Game.ElapsedSeconds = std::int16_t(seconds);
        window.inputs = {"Победитель"};
        QList<std::tuple<int, int, bool>> seen; // panel, clock, marker at each box
        window.onDialog = [&](const Dialog &d) {
            seen << std::tuple(window.shownPanel(), window.clockInterval, window.markerVisible);
            if (d.kind == tickIn)
                ClockTick();
        };
        CellClick(8);
        CellClick(9);
        const Dialog victory = window.dialogs.value(0), name = window.dialogs.value(1); // empty when not shown
        QCOMPARE(std::tuple(victory.text, victory.title, victory.icon),
                 std::tuple(QString("Все сферы удалены"), QString("Победа!"), Box::Warning));
        if (!stored.isEmpty()) // the name box, with its own words and default name
            QCOMPARE(std::tuple(name.text, name.title, name.defaultText),
                     std::tuple(QString("Введите свое имя"), QString("Поздравляем! Вы попали в таблицу рекордов"), QString("имя")));
        // The message on the board with the clock running and the marker
        // shown; the records and the stopped clock only after it.
        QCOMPARE(seen.mid(0, 2), (QList<std::tuple<int, int, bool>>{{1, 1000, true}, {2, 0, true}}).mid(0, seen.size()));
        QCOMPARE(std::pair(window.recordName[0], window.recordScore[0]),
                 stored.isEmpty() ? std::pair(QString("Зарвел"), QString("32767")) : std::pair(QString("Победитель"), stored));
        QVERIFY(SpheresOnBoard() == 0 && inStep()); // no new game dealt over it
    }

    void theClockReplacesAGamePast5000Seconds()
    {
        NewGame();
        ShowHelp(); // help leaves it running; so does the exit question
        window.answers = {Box::No};
        ExitCommand();
        Game.ElapsedSeconds = 4999;
        const auto before = Game.Board;
        generator.SetSeed(99);
        ClockTick();
        QCOMPARE(std::pair(window.seconds, Game.Board), std::pair(QString("5000"), before));
        ClockTick();
        QCOMPARE(std::pair(window.seconds, window.shownPanel()), std::pair(QString("0"), 1)); // 5001: a fresh game
        QVERIFY(Game.Board != before);
    }

    void commandsShowTheirPanelAloneAndExitAsks()
    {
        QDir::setCurrent(dir.path());
        Main();
        KeepRecordsIn("/proc/tarmelon"); // no folder can be made there: warned, the records stay where they were
        QCOMPARE(std::tuple(int(InitialSpheres), DataDir, int(window.dialogs.size())), std::tuple(24, dir.path(), 1));
        window.answers = std::deque(5, Box::No); // five exit questions, each leaving no panel shown
        for (int command : {1, 1, 2, 1, 3, 1, 4, 2, 2, 3, 2, 4, 3, 3, 4, 4, 1, 4}) { // each after each
            ToolbarClick(command);
            QCOMPARE(window.shownPanel(), command % 4);
        }
        const Dialog question = window.dialogs.last();
        QCOMPARE(std::tuple(question.text, question.title, question.buttons, question.icon, window.endedWith),
                 std::tuple(QString("Вы уверены?"), QString("ВЫХОД"), unsigned(Box::Yes | Box::No), Box::Question, -1));
        RunHandler([] { ToolbarClick(4); }); // answered Yes
        QCOMPARE(window.endedWith, 0);
        bool ran = false; // once ending, no handler runs
        RunHandler([&] { ran = true; });
        QVERIFY(!ran);
    }

    void aRunTimeErrorShowsItsBoxAndEndsWithItsNumber()
    {
        for (int number : {6, 9}) {
            SetProgramEnding(false);
            RunHandler([number] { number == 6 ? void(ToByte(300)) : void(Subscript(64, 0, 63)); });
            QVERIFY(window.dialogs.last().text.contains(QString::number(number)));
            QCOMPARE(std::pair(window.dialogs.last().icon, window.endedWith), std::pair(Box::Critical, number));
        }
    }
};

QTEST_GUILESS_MAIN(GameTest)
#include "tst_game.moc"
