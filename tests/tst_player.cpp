// Simulated players: one clicks at random and checks after every click that
// the window shows exactly the board; one plays seeded games to victory and
// into the records file.

#include "scriptedgenerator.h"
#include "scriptedwindow.h"

#include "game/board.h"
#include "game/clock.h"
#include "game/dealing.h"
#include "game/moves.h"
#include "records/records.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <random>

using namespace tarmelon;
using namespace tarmelon::test;

namespace {

// Everything the player can see agrees with the game state.
QString CheckInvariants(const ScriptedWindow &w)
{
    int red = 0, blue = 0;
    for (int i = 0; i < CellCount; ++i) {
        const int v = Game.Board[i];
        if (v > 18)
            return QStringLiteral("cell %1 holds %2").arg(i).arg(v);
        red += v >= 1 && v <= 9;
        blue += v > 9;
        if (w.cellPicture[i] != v)
            return QStringLiteral("cell %1 shows %2, holds %3").arg(i).arg(w.cellPicture[i]).arg(v);
        if (w.cellToolTip[i] != CellToolTip(v))
            return QStringLiteral("cell %1 tooltip '%2'").arg(i).arg(w.cellToolTip[i]);
    }
    if (red != Game.RedCount || blue != Game.BlueCount)
        return QStringLiteral("counters %1/%2, board %3/%4").arg(Game.RedCount).arg(Game.BlueCount).arg(red).arg(blue);
    if (w.counter[0] != QString::number(red) || w.counter[1] != QString::number(blue))
        return QStringLiteral("labels %1/%2").arg(w.counter[0], w.counter[1]);
    if (w.markerVisible != (Game.SelectState == OneSelected))
        return QStringLiteral("marker %1 with state %2").arg(w.markerVisible).arg(Game.SelectState);
    if (Game.SelectState == OneSelected
        && std::pair(w.markerLeft, w.markerTop) != ScriptedWindow::Place(Game.FirstCell))
        return QStringLiteral("marker away from the selected cell");
    if (Game.SelectState != NothingSelected && Game.SelectState != OneSelected)
        return QStringLiteral("state %1 after a click").arg(Game.SelectState);
    return {};
}

// The next move of a simple winning strategy: annihilate an equal pair of two
// colours when there is one; else merge two spheres of one colour, preferring
// a merge whose result has an opposite partner; else absorb.
std::pair<int, int> ChooseMove()
{
    QList<int> cells;
    for (int i = 0; i < CellCount; ++i)
        if (Game.Board[i])
            cells << i;
    std::pair<int, int> merge{-1, -1}, absorb{-1, -1};
    for (int a : cells) {
        for (int b : cells) {
            if (a == b)
                continue;
            const int va = Game.Board[a], vb = Game.Board[b];
            if (IsBlue(va) != IsBlue(vb)) {
                if (SphereSize(va) == SphereSize(vb))
                    return {a, b};
                absorb = {a, b};
                continue;
            }
            const int sum = SphereSize(va) + SphereSize(vb);
            const bool turns = sum > 9;
            const int result = turns ? sum - 9 : sum;
            const bool resultBlue = IsBlue(va) != turns;
            for (int c : cells) {
                if (c != a && c != b && SphereSize(Game.Board[c]) == result && IsBlue(Game.Board[c]) != resultBlue)
                    merge = {a, b};
            }
            if (merge.first < 0)
                merge = {a, b};
        }
    }
    return merge.first >= 0 ? merge : absorb;
}

} // namespace

class PlayerTest : public QObject {
    Q_OBJECT
    ScriptedWindow window;
    QTemporaryDir dir;

private slots:
    void init()
    {
        window = ScriptedWindow();
        ResetGame(window, dir.path());
    }
    void cleanupTestCase() { SetGenerator(nullptr); }

    void randomClicksKeepTheWindowInStep()
    {
        std::mt19937 clicks(2026);
        int total = 0;
        for (std::uint64_t seed = 1; total < 12000; ++seed) {
            ScriptedGenerator generator(seed);
            SetGenerator(&generator);
            NewGame();
            QVERIFY2(CheckInvariants(window).isEmpty(), qPrintable(CheckInvariants(window)));
            for (int k = 0; k < 400; ++k, ++total) {
                const int cell = static_cast<int>(clicks() % CellCount);
                CellClick(cell);
                const QString fault = CheckInvariants(window);
                QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("seed %1 click %2 on %3: %4")
                                                         .arg(seed).arg(k).arg(cell).arg(fault)));
                if (k % 10 == 0)
                    ClockTick();
            }
        }
    }

    void seededGamesArePlayedToVictoryAndIntoTheRecords()
    {
        int won = 0;
        for (std::uint64_t seed = 100; seed < 120; ++seed) {
            window.dialogs.clear();
            ScriptedGenerator generator(seed);
            SetGenerator(&generator);
            NewGame();
            const QString name = QStringLiteral("Игрок %1").arg(seed);
            window.inputs = {name};
            int moves = 0;
            while (Game.RedCount + Game.BlueCount > 0 && moves < 3000) {
                const auto [first, second] = ChooseMove();
                QVERIFY(first >= 0);
                ClockTick();
                CellClick(first);
                CellClick(second);
                ++moves;
                QVERIFY2(CheckInvariants(window).isEmpty(), qPrintable(CheckInvariants(window)));
            }
            QVERIFY2(Game.RedCount + Game.BlueCount == 0,
                     qPrintable(QStringLiteral("seed %1 not won in %2 moves").arg(seed).arg(moves)));
            ++won;
            QCOMPARE(window.dialogs.first().text, QStringLiteral("Все сферы удалены"));
            QCOMPARE(window.shownPanel(), 2);
            QCOMPARE(window.clockInterval, 0);
            const QString time = QString::number(Game.ElapsedSeconds);
            if (window.countDialogs(QStringLiteral("input")) == 1) {
                const int row = int(std::find(window.recordName.begin(), window.recordName.end(), name)
                                    - window.recordName.begin());
                QVERIFY(row < 10);
                QCOMPARE(window.recordScore[row], time);
                // And it is in the file: a fresh display reads it back.
                ScriptedWindow reader;
                SetWindow(&reader);
                ShowRecords();
                SetWindow(&window);
                QCOMPARE(reader.recordName[row], name);
                QCOMPARE(reader.recordScore[row], time);
            }
        }
        QCOMPARE(won, 20);
    }
};

QTEST_GUILESS_MAIN(PlayerTest)
#include "tst_player.moc"
