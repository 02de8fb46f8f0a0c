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
    // Red spheres only, cells 10 and 20 among them, cell 33 empty; tests put what they need over it.
    static constexpr const char *FewSpheres = R"(r1 .. .. .. .. .. .. ..
                                                 .. .. r3 .. .. .. .. ..
                                                 .. .. .. .. r4 .. .. ..
                                                 .. .. .. .. .. .. r6 ..
                                                 .. .. .. .. .. .. .. ..
                                                 .. .. .. .. .. .. .. ..
                                                 .. .. .. .. .. .. .. ..
                                                 .. .. .. .. .. .. .. r4)";
    ScriptedWindow window;
    ScriptedGenerator generator{7};
    QTemporaryDir dir;

    // What the player sees that disagrees with the game state; nothing when all agrees.
    QString outOfStep() const
    {
        int red = 0, blue = 0;
        for (int i = 0; i < CellCount; ++i) {
            red += IsRed(Game.Board[i]), blue += IsBlue(Game.Board[i]);
            if (window.cellPicture[i] != Game.Board[i] || window.cellToolTip[i] != CellWords(Game.Board[i]))
                return QString("cell %1").arg(i);
        }
        if (red != Game.RedCount || blue != Game.BlueCount)
            return "counters";
        if (window.counter != std::array{QString::number(red), QString::number(blue)})
            return "counter labels";
        if (window.markerVisible != (Game.SelectState == OneSelected))
            return "marker shown or hidden";
        if (window.markerVisible && std::pair(window.markerLeft, window.markerTop) != ScriptedWindow::Place(Game.FirstCell))
            return "marker place";
        return {};
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

    void setCellKeepsCountersAndTooltips()
    {
        // value set, tooltip, as a screen reader says it; other spheres stand elsewhere throughout.
        const std::tuple<int, const char *, const char *> steps[] = {
            {5, "кр. < 5 >", "красная сфера 5"}, {12, "син. < 3 >", "синяя сфера 3"}, {12, "син. < 3 >", "синяя сфера 3"},
            {0, "", "пусто"}, {9, "кр. < 9 >", "красная сфера 9"}, {10, "син. < 1 >", "синяя сфера 1"}};
        SetBoard(FewSpheres);
        for (auto [value, tip, spoken] : steps) {
            SetCell(20, value);
            QCOMPARE(window.cellToolTip[20], QString::fromUtf8(tip));
            QCOMPARE(CellWords(value, true), QString::fromUtf8(spoken));
            QCOMPARE(outOfStep(), QString());
        }
        QVERIFY_THROWS_EXCEPTION(RunTimeError, SetCell(64, 1));
        QVERIFY_THROWS_EXCEPTION(RunTimeError, SetCell(20, 19));
    }

    void workedMoves_data()
    {
        QTest::addColumn<QString>("move"); // first, second, result
        for (const char *move : {"r3 r4 r7", "r4 r5 r9", "b4 b5 b9", "r5 r5 b1", "r5 r7 b3", "r9 r9 b9", "b3 b4 b7",
                                 "b5 b7 r3", "r5 b3 r2", "r2 b3 b1", "b2 r6 r4", "r6 b2 r4", "b7 r3 b4", "r4 b4 ..", "b9 r9 .."})
            QTest::newRow(move) << move;
    }
    void workedMoves()
    {
        QFETCH(QString, move);
        const int first = Value(move.section(' ', 0, 0)), second = Value(move.section(' ', 1, 1)),
                  result = Value(move.section(' ', 2, 2));
        // Other spheres keep the board from emptying; red 7s spawn where they cannot hide the result.
        SetBoard(FewSpheres);
        SetCell(10, first), SetCell(20, second);
        generator.Place(40, 7), generator.Place(41, 7), generator.Place(42, 7);
        CellClick(10);
        QCOMPARE(outOfStep(), QString());
        window.cellWrites.clear();
        CellClick(20);
        // The first cell is emptied before the result is written.
        QCOMPARE(window.cellWrites.mid(0, 2), (QList<std::pair<int, int>>{{10, 0}, {20, result}}));
        QCOMPARE(SpheresOnBoard(), !result ? 3 : IsBlue(first) == IsBlue(second) ? 5 : 7); // 1 or 3 spawned
        QVERIFY(window.dialogs.isEmpty()); // spheres are left: no victory
        QCOMPARE(Game.SelectState, NothingSelected);
        QCOMPARE(outOfStep(), QString());
    }

    void aClickActsByTheSelectState()
    {
        // state, clicked cell (the selected sphere is cell 10), state after, board changes
        const int rows[][4] = {{0, 33, 0, 0}, {0, 20, 1, 0}, {1, 33, 0, 0}, {1, 10, 1, 0}, {1, 20, 0, 1},
                               {5, 33, 0, 0}, {5, 20, 5, 0}};
        for (auto [state, clicked, after, changes] : rows) {
            SetBoard(FewSpheres);
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
            QVERIFY2(outOfStep().isEmpty(), qPrintable(QString("click %1: %2").arg(k).arg(outOfStep())));
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
        QCOMPARE(SpheresOnBoard(), 24);
        QCOMPARE(outOfStep(), QString());
        QCOMPARE(std::tuple(window.seconds, window.shownPanel(), window.clockInterval), std::tuple(QString("0"), 1, 1000));
        QCOMPARE(generator.reseeds, 2); // re-seeded at every new game
    }

    void spawningStopsAtAFullBoard()
    {
        // Full but for one cell: an absorption frees a cell and asks for three; two fit.
        SetBoard(R"(r5 b3 r1 r1 r1 r1 r1 r1
                    r1 r1 r1 r1 r1 r1 r1 r1
                    r1 r1 r1 r1 r1 r1 r1 r1
                    r1 r1 r1 r1 r1 r1 r1 r1
                    r1 r1 r1 r1 r1 r1 r1 r1
                    r1 r1 r1 r1 r1 r1 r1 r1
                    r1 r1 r1 r1 r1 r1 r1 r1
                    r1 r1 r1 r1 .. r1 r1 r1)");
        CellClick(0);
        CellClick(1);
        QCOMPARE(Game.RedCount + Game.BlueCount, 64);
        QCOMPARE(outOfStep(), QString());
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
        recordfile::Update(recordfile::ReadFile(RecordsPath()), [&](const QByteArray &) { return recordfile::EncodePlaces(places, {}); });
        NewGame();
        SetBoard(R"(.. .. .. .. .. .. .. ..
                    r7 b7 .. .. .. .. .. ..
                    .. .. .. .. .. .. .. ..
                    .. .. .. .. .. .. .. ..
                    .. .. .. .. .. .. .. ..
                    .. .. .. .. .. .. .. ..
                    .. .. .. .. .. .. .. ..
                    .. .. .. .. .. .. .. ..)");
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
        const Dialog victory = window.dialogs.value(0); // empty when not shown
        QCOMPARE(std::tuple(victory.text, victory.title, victory.icon),
                 std::tuple(QString("Все сферы удалены"), QString("Победа!"), Box::Warning));
        // The message on the board with the clock running and the marker
        // shown; the records and the stopped clock only after it.
        QList<std::tuple<int, int, bool>> expected{{1, 1000, true}};
        if (!stored.isEmpty())
            expected.append({2, 0, true});
        QCOMPARE(seen, expected);
        QCOMPARE(std::pair(window.recordName[0], window.recordScore[0]),
                 stored.isEmpty() ? std::pair(QString("Зарвел"), QString("32767")) : std::pair(QString("Победитель"), stored));
        QCOMPARE(SpheresOnBoard(), 0); // no new game dealt over it
        QCOMPARE(outOfStep(), QString());
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
        window.answers = QList<Box::Button>(5, Box::No); // five exit questions, each leaving no panel shown
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
