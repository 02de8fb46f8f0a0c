// SPDX-License-Identifier: GPL-3.0-or-later
// Simulated players: one clicks at random and checks after every click that
// the window shows exactly the board; one plays seeded games to victory and
// into the records file.

#include "scriptedgenerator.h"
#include "scriptedwindow.h"

#include "game/board.h"
#include "game/clock.h"
#include "game/dealing.h"
#include "game/moves.h"

#include <QTemporaryDir>
#include <QTest>

#include <random>

using namespace tarmelon;
using namespace tarmelon::test;

namespace {

// Everything the player can see agrees with the game state.
QString Fault(const ScriptedWindow &w)
{
    int red = 0, blue = 0;
    for (int i = 0; i < CellCount; ++i) {
        const int v = Game.Board[i];
        red += IsRed(v);
        blue += IsBlue(v);
        if (v > MaxValue || w.cellPicture[i] != v || w.cellToolTip[i] != CellToolTip(v))
            return QStringLiteral("cell %1 holds %2, shows %3").arg(i).arg(v).arg(w.cellPicture[i]);
    }
    if (red != Game.RedCount || blue != Game.BlueCount || w.counter[0] != QString::number(red)
        || w.counter[1] != QString::number(blue))
        return QStringLiteral("%1 red, %2 blue; counters %3/%4").arg(red).arg(blue).arg(w.counter[0], w.counter[1]);
    if (w.markerVisible != (Game.SelectState == OneSelected)
        || (w.markerVisible && std::pair(w.markerLeft, w.markerTop) != ScriptedWindow::Place(Game.FirstCell)))
        return QStringLiteral("marker out of step with state %1").arg(Game.SelectState);
    return {};
}

// A simple winning strategy: annihilate an equal pair of two colours; else
// merge two spheres of one colour, preferring a result that has an opposite
// partner; else absorb.
std::pair<int, int> ChooseMove()
{
    std::pair<int, int> merge{-1, -1}, absorb{-1, -1};
    for (int a = 0; a < CellCount; ++a) {
        for (int b = 0; b < CellCount; ++b) {
            const int va = Game.Board[a], vb = Game.Board[b];
            if (a == b || !va || !vb)
                continue;
            if (IsBlue(va) != IsBlue(vb)) {
                if (SphereSize(va) == SphereSize(vb))
                    return {a, b};
                absorb = {a, b};
                continue;
            }
            const int sum = SphereSize(va) + SphereSize(vb);
            const int result = sum > MaxSize ? sum - MaxSize : sum;
            const bool resultBlue = IsBlue(va) != (sum > MaxSize);
            for (int c = 0; c < CellCount; ++c)
                if (c != a && c != b && Game.Board[c] && SphereSize(Game.Board[c]) == result
                    && IsBlue(Game.Board[c]) != resultBlue)
                    merge = {a, b};
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
        for (std::uint64_t seed = 1; seed <= 30; ++seed) {
            ScriptedGenerator generator(seed);
            SetGenerator(&generator);
            NewGame();
            for (int k = 0; k < 400; ++k) {
                const int cell = static_cast<int>(clicks() % CellCount);
                CellClick(cell);
                const QString fault = Fault(window);
                QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("seed %1 click %2 on %3: %4")
                                                         .arg(seed).arg(k).arg(cell).arg(fault)));
            }
        }
    }

    void seededGamesAreWonIntoTheRecordsFile()
    {
        for (std::uint64_t seed = 100; seed < 120; ++seed) {
            ScriptedGenerator generator(seed);
            SetGenerator(&generator);
            NewGame();
            const QString name = QStringLiteral("Игрок %1").arg(seed);
            window.inputs = {name};
            for (int moves = 0; Game.RedCount + Game.BlueCount > 0; ++moves) {
                QVERIFY2(moves < 3000, qPrintable(QStringLiteral("seed %1 not won").arg(seed)));
                const auto [first, second] = ChooseMove();
                ClockTick();
                CellClick(first);
                CellClick(second);
            }
            // A fresh display reads the record back from the file.
            const auto at = std::find(window.recordName.begin(), window.recordName.end(), name);
            if (at != window.recordName.end()) {
                const QString time = *(window.recordScore.begin() + (at - window.recordName.begin()));
                QCOMPARE(time, QString::number(Game.ElapsedSeconds));
                const auto row = static_cast<std::size_t>(at - window.recordName.begin());
                ShowRecords();
                QCOMPARE(window.recordName[row], name);
                QCOMPARE(window.recordScore[row], time);
            }
            QCOMPARE(window.shownPanel(), 2);
        }
    }
};

QTEST_GUILESS_MAIN(PlayerTest)
#include "tst_player.moc"
