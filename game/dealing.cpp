// SPDX-License-Identifier: GPL-3.0-or-later
#include "dealing.h"

#include "board.h"
#include "checked.h"
#include "state.h"
#include "window.h"
#include "records/records.h"

#include <QTime>

#include <cmath>

namespace tarmelon {

double SeededGenerator::Next()
{
    // 53 random bits scaled into [0, 1): never 1.0, unlike generate_canonical.
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

void TimeOfDayGenerator::Reseed()
{
    seed_ = static_cast<std::uint64_t>(QTime::currentTime().msecsSinceStartOfDay());
    SeededGenerator::Reseed();
}

namespace {

TimeOfDayGenerator timeOfDay;
Generator *generator = &timeOfDay;

int Draw(int range)
{
    return static_cast<int>(std::floor(range * Rng().Next()));
}

// The cell draw, retried until an empty cell comes up, always before the
// value draw. The caller makes sure an empty cell exists.
void PlaceRandomSphere()
{
    GameState &g = Game;
    do {
        g.ClickedCell = ToByte(Draw(CellCount));
    } while (g.Board[Subscript(g.ClickedCell, 0, CellCount - 1)] != EmptyValue);
    g.ClickedValue = ToByte(Draw(MaxValue) + 1);
    SetCell(g.ClickedCell, g.ClickedValue);
}

} // namespace

Generator &Rng()
{
    return *generator;
}

void SetGenerator(Generator *g)
{
    generator = g ? g : &timeOfDay;
}

void NewGame()
{
    GameState &g = Game;
    Window &w = Win();
    Rng().Reseed();
    ShowOnly(Panel::Board);
    g.SelectState = NothingSelected;
    g.RedCount = 0;
    g.BlueCount = 0;
    g.ElapsedSeconds = 0;
    // Zero each cell directly first: with the counters already 0, SetCell
    // must not count out a sphere of the old game.
    for (int i = 0; i < CellCount; ++i) {
        g.Board[Subscript(i, 0, CellCount - 1)] = EmptyValue;
        SetCell(i, EmptyValue);
    }
    for (int k = 1; k <= InitialSpheres; ++k)
        PlaceRandomSphere();
    ClearSelection();
    w.SetSecondsText(QStringLiteral("0"));
    w.SetClockInterval(ClockInterval);
}

void SpawnSpheres()
{
    GameState &g = Game;
    if (g.ClickedCell < NoSpawnCell) {
        const int count = g.SpawnCount;
        for (int k = 1; k <= count; ++k) {
            if (ToByte(g.RedCount + g.BlueCount) >= CellCount)
                break;
            PlaceRandomSphere();
        }
    }
    if (g.RedCount == 0 && g.BlueCount == 0) {
        g.SelectState = GameWon;
        Win().MessageBox(QStringLiteral("Все сферы удалены"), QStringLiteral("Победа!"),
                         Box::Ok, Box::Warning);
        ShowRecords();
    }
}

} // namespace tarmelon
