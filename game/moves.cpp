// SPDX-License-Identifier: GPL-3.0-or-later
#include "moves.h"

#include "board.h"
#include "checked.h"
#include "dealing.h"
#include "state.h"
#include "window.h"

namespace tarmelon {

namespace {

// Two colours: the difference stays in the larger sphere's colour; equal
// sizes both vanish.
void CombineTwoColours()
{
    GameState &g = Game;
    if (IsBlue(g.ClickedValue)) {
        g.ClickedValue = ToByte(g.ClickedValue - BlueBase);
        g.ClickedBase = BlueBase;
        g.OtherBase = RedBase;
    }
    if (IsBlue(g.FirstValue)) {
        g.FirstValue = ToByte(g.FirstValue - BlueBase);
        g.ClickedBase = RedBase;
        g.OtherBase = BlueBase;
    }
    SetCell(g.FirstCell, EmptyValue);
    if (g.FirstValue < g.ClickedValue) {
        SetCell(g.ClickedCell, ToInteger(g.ClickedValue + g.ClickedBase - g.FirstValue));
    } else if (g.FirstValue > g.ClickedValue) {
        SetCell(g.ClickedCell, ToInteger(g.FirstValue + g.OtherBase - g.ClickedValue));
    } else {
        SetCell(g.ClickedCell, EmptyValue);
        g.ClickedCell = NoSpawnCell;
    }
    g.SpawnCount = 3;
}

// One colour: the sizes add up; past 9 the sphere turns to the other colour.
void CombineOneColour()
{
    GameState &g = Game;
    if (!IsBlue(g.ClickedValue)) {
        g.OtherBase = BlueBase;
        g.ClickedBase = RedBase;
    } else {
        g.ClickedBase = BlueBase;
        g.OtherBase = RedBase;
        g.ClickedValue = ToByte(g.ClickedValue - BlueBase);
        g.FirstValue = ToByte(g.FirstValue - BlueBase);
    }
    SetCell(g.FirstCell, EmptyValue);
    const std::uint8_t sum = ToByte(g.FirstValue + g.ClickedValue);
    if (sum <= MaxSize)
        SetCell(g.ClickedCell, ToInteger(sum + g.ClickedBase));
    else
        SetCell(g.ClickedCell, ToInteger(sum - MaxSize + g.OtherBase));
    g.SpawnCount = 1;
}

} // namespace

void CellClick(int cell)
{
    Game.ClickedCell = ToByte(cell);
    Game.ClickedValue = Game.Board[Subscript(Game.ClickedCell, 0, CellCount - 1)];
    ResolveClick();
}

void ResolveClick()
{
    GameState &g = Game;
    if (g.ClickedValue == EmptyValue) {
        ClearSelection();
        return;
    }
    if (g.SelectState == NothingSelected) {
        g.FirstCell = g.ClickedCell;
        g.FirstValue = g.ClickedValue;
        g.SelectState = OneSelected;
        Window &w = Win();
        w.SetMarkerPlace(w.CellLeft(g.ClickedCell), w.CellTop(g.ClickedCell));
        w.SetMarkerVisible(true);
        return;
    }
    if (g.SelectState != OneSelected)
        return; // the won game's records step is running
    if (g.ClickedCell == g.FirstCell)
        return;

    // Colours are told apart before either value is reduced to a size.
    if (IsBlue(g.ClickedValue) != IsBlue(g.FirstValue))
        CombineTwoColours();
    else
        CombineOneColour();
    SpawnSpheres();
    // The marker over the emptied first cell goes only now, after any victory
    // message and records step.
    ClearSelection();
}

} // namespace tarmelon
