// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tarmelon {

// The one way a cell changes: keeps the counters, the cell's picture and
// tooltip and the two counter labels in step with the board.
void SetCell(int cell, int value);

// Hides the marker and forgets the selection.
void ClearSelection();

// "кр. < 5 >", "син. < 3 >", or empty for an empty cell.
QString CellToolTip(int value);

} // namespace tarmelon
