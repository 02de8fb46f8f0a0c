// SPDX-License-Identifier: GPL-3.0-or-later
#include "board.h"

#include "checked.h"
#include "state.h"
#include "window.h"

namespace tarmelon {

QString CellWords(int value, bool spoken)
{
    if (value == EmptyValue)
        return spoken ? QStringLiteral("пусто") : QString();
    if (spoken)
        return (IsBlue(value) ? QStringLiteral("синяя сфера %1") : QStringLiteral("красная сфера %1"))
            .arg(SphereSize(value));
    return (IsBlue(value) ? QStringLiteral("син. < %1 >") : QStringLiteral("кр. < %1 >"))
        .arg(SphereSize(value));
}

void SetCell(int cell, int value)
{
    const std::size_t i = Subscript(cell, 0, CellCount - 1);
    // A value without a picture would be a fault in the caller; stop before
    // the board is touched.
    Subscript(value, EmptyValue, MaxValue);

    // Both decreases before both increases, and the board only after the
    // counters, so the old value is still there to be counted out.
    const int old = Game.Board[i];
    if (IsRed(old))
        Game.RedCount = ToByte(Game.RedCount - 1);
    if (IsBlue(old))
        Game.BlueCount = ToByte(Game.BlueCount - 1);
    if (IsRed(value))
        Game.RedCount = ToByte(Game.RedCount + 1);
    if (IsBlue(value))
        Game.BlueCount = ToByte(Game.BlueCount + 1);
    Game.Board[i] = ToByte(value);

    Window &w = Win();
    w.SetCellPicture(cell, value);
    w.SetCellToolTip(cell, CellWords(value));
    w.SetCounterText(0, QString::number(Game.RedCount));
    w.SetCounterText(1, QString::number(Game.BlueCount));
}

void ClearSelection()
{
    Win().SetMarkerVisible(false);
    Game.SelectState = NothingSelected;
}

} // namespace tarmelon
