// The player's move: selection, the combining rules, spawning afterwards.

#include "scriptedgenerator.h"
#include "scriptedwindow.h"

#include "game/board.h"
#include "game/moves.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tarmelon;
using namespace tarmelon::test;

class MovesTest : public QObject {
    Q_OBJECT
    ScriptedWindow window;
    ScriptedGenerator generator{7};
    QTemporaryDir dataDir;

private slots:
    void initTestCase() { QVERIFY(dataDir.isValid()); }
    void init()
    {
        window = ScriptedWindow();
        ResetGame(window, dataDir.path());
        generator = ScriptedGenerator(7);
        SetGenerator(&generator);
        window.markerVisible = false;
    }
    void cleanupTestCase() { SetGenerator(nullptr); }

    void workedMoves_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("spawnCount");
        QTest::addColumn<int>("added");
        QTest::newRow("red 3 + red 4 = red 7") << 3 << 4 << 7 << 1 << 1;
        QTest::newRow("red 4 + red 5 = red 9") << 4 << 5 << 9 << 1 << 1;
        QTest::newRow("red 5 + red 5 = blue 1") << 5 << 5 << 10 << 1 << 1;
        QTest::newRow("red 5 + red 7 = blue 3") << 5 << 7 << 12 << 1 << 1;
        QTest::newRow("red 9 + red 9 = blue 9") << 9 << 9 << 18 << 1 << 1;
        QTest::newRow("blue 3 + blue 4 = blue 7") << 12 << 13 << 16 << 1 << 1;
        QTest::newRow("blue 5 + blue 7 = red 3") << 14 << 16 << 3 << 1 << 1;
        QTest::newRow("red 5 + blue 3 = red 2") << 5 << 12 << 2 << 3 << 3;
        QTest::newRow("red 2 + blue 3 = blue 1") << 2 << 12 << 10 << 3 << 3;
        QTest::newRow("blue 2 + red 6 = red 4") << 11 << 6 << 4 << 3 << 3;
        QTest::newRow("red 6 + blue 2 = red 4") << 6 << 11 << 4 << 3 << 3;
        QTest::newRow("blue 7 + red 3 = blue 4") << 16 << 3 << 13 << 3 << 3;
        QTest::newRow("red 4 + blue 4 vanish") << 4 << 13 << 0 << 3 << 0;
        QTest::newRow("blue 9 + red 9 vanish") << 18 << 9 << 0 << 3 << 0;
    }
    void workedMoves()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(int, result);
        QFETCH(int, spawnCount);
        QFETCH(int, added);
        // Cells 10 and 20 play; one bystander keeps the board from emptying.
        SetCell(10, first);
        SetCell(20, second);
        SetCell(0, 1);
        // Spawned spheres go where they cannot hide the result: cells 40..42.
        for (int k = 0; k < 3; ++k)
            generator.Place(40 + k, 7);
        CellClick(10);
        QVERIFY(window.markerVisible);
        QCOMPARE(window.markerLeft, ScriptedWindow::Left(10));
        QCOMPARE(window.markerTop, ScriptedWindow::Top(10));
        window.cellWrites.clear();
        CellClick(20);

        // The first cell is emptied before the result is written.
        QVERIFY(window.cellWrites.size() >= 2);
        QCOMPARE(window.cellWrites[0], std::make_pair(10, 0));
        QCOMPARE(window.cellWrites[1], std::make_pair(20, result));
        QCOMPARE(int(Game.Board[10]), 0);
        QCOMPARE(int(Game.Board[20]), result);
        QCOMPARE(window.cellPicture[20], result);
        QCOMPARE(int(Game.SpawnCount), spawnCount);
        QCOMPARE(SpheresOnBoard(), (result ? 2 : 1) + added);
        for (int k = 0; k < 3; ++k)
            QCOMPARE(int(Game.Board[40 + k]), k < added ? 7 : 0);
        QCOMPARE(int(Game.SelectState), NothingSelected);
        QVERIFY(!window.markerVisible);
        QCOMPARE(window.dialogs.size(), 0);
    }

    void countersFollowAMove()
    {
        SetCell(10, 5);
        SetCell(20, 7);
        SetCell(30, 3);
        generator.Place(40, 14); // the spawned sphere: blue 5
        CellClick(10);
        CellClick(20);
        // red 5 + red 7: two reds gone, one blue 3 made, one blue 5 spawned.
        QCOMPARE(int(Game.RedCount), 1);
        QCOMPARE(int(Game.BlueCount), 2);
        QCOMPARE(window.counter[0], QStringLiteral("1"));
        QCOMPARE(window.counter[1], QStringLiteral("2"));
    }

    void selectStateTransitions_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("clicked");     // cell clicked; the selected one is 10
        QTest::addColumn<int>("stateAfter");
        QTest::addColumn<bool>("markerAfter");
        QTest::addColumn<bool>("boardChanges");
        QTest::newRow("nothing selected, empty cell") << 0 << 33 << 0 << false << false;
        QTest::newRow("nothing selected, sphere") << 0 << 20 << 1 << true << false;
        QTest::newRow("selected, empty cell") << 1 << 33 << 0 << false << false;
        QTest::newRow("selected, the selected sphere") << 1 << 10 << 1 << true << false;
        QTest::newRow("selected, another sphere") << 1 << 20 << 0 << false << true;
        QTest::newRow("won, empty cell") << 5 << 33 << 0 << false << false;
        QTest::newRow("won, sphere") << 5 << 20 << 5 << true << false;
    }
    void selectStateTransitions()
    {
        QFETCH(int, state);
        QFETCH(int, clicked);
        QFETCH(int, stateAfter);
        QFETCH(bool, markerAfter);
        QFETCH(bool, boardChanges);
        SetCell(10, 3);
        SetCell(20, 4);
        SetCell(30, 6);
        Game.SelectState = static_cast<std::uint8_t>(state);
        Game.FirstCell = 10;
        Game.FirstValue = 3;
        window.markerVisible = state != 0;
        window.markerLeft = ScriptedWindow::Left(10);
        const auto board = Game.Board;
        CellClick(clicked);
        QCOMPARE(int(Game.SelectState), stateAfter);
        QCOMPARE(window.markerVisible, markerAfter);
        QCOMPARE(Game.Board != board, boardChanges);
        if (state == 0 && stateAfter == 1) {
            QCOMPARE(int(Game.FirstCell), clicked);
            QCOMPARE(window.markerLeft, ScriptedWindow::Left(clicked));
        }
    }

    void lastPairVanishingWinsAfterTheMarkerStays()
    {
        SetCell(10, 4);
        SetCell(20, 13);
        bool markerDuringVictory = false;
        window.onDialog = [&](const Dialog &) { markerDuringVictory = window.markerVisible; };
        CellClick(10);
        CellClick(20);
        QCOMPARE(window.countDialogs(QStringLiteral("message")), 1);
        QCOMPARE(window.dialogs[0].text, QStringLiteral("Все сферы удалены"));
        QVERIFY(markerDuringVictory); // hidden only after the records step
        QVERIFY(!window.markerVisible);
        QCOMPARE(int(Game.SelectState), NothingSelected);
    }

    void aSingleSphereLeftIsNoVictory()
    {
        SetCell(10, 4);
        SetCell(20, 13);
        SetCell(30, 2);
        CellClick(10);
        CellClick(20);
        QCOMPARE(window.dialogs.size(), 0);
        QCOMPARE(SpheresOnBoard(), 1);
    }
};

QTEST_GUILESS_MAIN(MovesTest)
#include "tst_moves.moc"
