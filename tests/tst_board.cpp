// Cells, counters, tooltips and labels kept in step by SetCell.

#include "scriptedwindow.h"

#include "game/board.h"
#include "game/checked.h"

#include <QTest>

using namespace tarmelon;
using namespace tarmelon::test;

class BoardTest : public QObject {
    Q_OBJECT
    ScriptedWindow window;

private slots:
    void init() { window = ScriptedWindow(); ResetGame(window); }

    void setCellKeepsCountersPictureTooltipAndLabels_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("blue");
        QTest::addColumn<QString>("tip");
        // Two spheres stand elsewhere (red 2, blue 4) so counts start at 1 / 1.
        QTest::newRow("empty to red 5") << 0 << 5 << 2 << 1 << QStringLiteral("кр. < 5 >");
        QTest::newRow("red to empty") << 3 << 0 << 1 << 1 << QString();
        QTest::newRow("red 3 to blue 3") << 3 << 12 << 1 << 2 << QStringLiteral("син. < 3 >");
        QTest::newRow("blue 5 to itself") << 14 << 14 << 1 << 2 << QStringLiteral("син. < 5 >");
        QTest::newRow("empty to empty") << 0 << 0 << 1 << 1 << QString();
        QTest::newRow("red 9") << 0 << 9 << 2 << 1 << QStringLiteral("кр. < 9 >");
        QTest::newRow("blue 1 is value 10") << 0 << 10 << 1 << 2 << QStringLiteral("син. < 1 >");
        QTest::newRow("blue 9 is value 18") << 0 << 18 << 1 << 2 << QStringLiteral("син. < 9 >");
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
        window.cellPicture[20] = -1;
        SetCell(20, after);
        QCOMPARE(int(Game.Board[20]), after);
        QCOMPARE(int(Game.RedCount), red);
        QCOMPARE(int(Game.BlueCount), blue);
        QCOMPARE(window.cellPicture[20], after);
        QCOMPARE(window.cellToolTip[20], tip);
        QCOMPARE(window.counter[0], QString::number(red));
        QCOMPARE(window.counter[1], QString::number(blue));
    }

    void fullBoardCountsSixtyFour()
    {
        for (int i = 0; i < CellCount; ++i)
            SetCell(i, i % 2 ? 5 : 14);
        QCOMPARE(Game.RedCount + Game.BlueCount, 64);
        QCOMPARE(window.counter[0], QStringLiteral("32"));
        QCOMPARE(window.counter[1], QStringLiteral("32"));
    }

    void outOfRangeIsARunTimeErrorAndChangesNothing()
    {
        SetCell(5, 7);
        const GameState before = Game;
        try {
            SetCell(64, 1);
            QFAIL("cell 64 was accepted");
        } catch (const RunTimeError &e) {
            QCOMPARE(e.number(), 9);
        }
        try {
            SetCell(5, 19);
            QFAIL("value 19 was accepted");
        } catch (const RunTimeError &e) {
            QCOMPARE(e.number(), 9);
        }
        QCOMPARE(Game.Board, before.Board);
        // A counter that would fall below 0 overflows (the board says red,
        // the counter says none).
        Game.RedCount = 0;
        try {
            SetCell(5, 0);
            QFAIL("counter fell below 0");
        } catch (const RunTimeError &e) {
            QCOMPARE(e.number(), 6);
        }
    }

    void clearSelectionHidesMarkerAndKeepsItsPlace()
    {
        window.markerVisible = true;
        window.markerLeft = 72;
        Game.SelectState = OneSelected;
        Game.FirstCell = 9;
        ClearSelection();
        QVERIFY(!window.markerVisible);
        QCOMPARE(int(Game.SelectState), NothingSelected);
        QCOMPARE(int(Game.FirstCell), 9);
        QCOMPARE(window.markerLeft, 72);
        ClearSelection(); // with nothing selected: still hidden, still 0
        QVERIFY(!window.markerVisible);
        QCOMPARE(int(Game.SelectState), NothingSelected);
    }

    void checkedHelpersGuardTheirRanges()
    {
        QCOMPARE(int(ToByte(255)), 255);
        QVERIFY_THROWS_EXCEPTION(RunTimeError, ToByte(256));
        QVERIFY_THROWS_EXCEPTION(RunTimeError, ToByte(-1));
        QCOMPARE(int(ToInteger(-32768)), -32768);
        QVERIFY_THROWS_EXCEPTION(RunTimeError, ToInteger(32768));
        QCOMPARE(int(Subscript(12, 1, 12)), 11);
        QVERIFY_THROWS_EXCEPTION(RunTimeError, Subscript(0, 1, 12));
    }
};

QTEST_GUILESS_MAIN(BoardTest)
#include "tst_board.moc"
