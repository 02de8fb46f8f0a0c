#include "board.h"

#include "checked.h"
#include "state.h"
#include "window.h"

namespace tarmelon {

QString CellToolTip(int value)
{
    if (value == EmptyValue)
        return {};
    if (value > BlueBase)
        return QStringLiteral("син. < %1 >").arg(value - BlueBase);
    return QStringLiteral("кр. < %1 >").arg(value);
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
    if (old >= 1 && old <= BlueBase)
        Game.RedCount = ToByte(Game.RedCount - 1);
    if (old > BlueBase)
        Game.BlueCount = ToByte(Game.BlueCount - 1);
    if (value > 0 && value <= BlueBase)
        Game.RedCount = ToByte(Game.RedCount + 1);
    if (value > BlueBase)
        Game.BlueCount = ToByte(Game.BlueCount + 1);
    Game.Board[i] = ToByte(value);

    Window &w = Win();
    w.SetCellPicture(cell, value);
    w.SetCellToolTip(cell, CellToolTip(value));
    w.SetCounterText(0, QString::number(Game.RedCount));
    w.SetCounterText(1, QString::number(Game.BlueCount));
}

void ClearSelection()
{
    Win().SetMarkerVisible(false);
    Game.SelectState = NothingSelected;
}

} // namespace tarmelon
