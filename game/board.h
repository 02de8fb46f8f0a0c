// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tarmelon {

// The one way a cell changes: keeps the counters, the cell's picture and
// tooltip and the two counter labels in step with the board.
void SetCell(int cell, int value);

// Hides the marker and forgets the selection.
void ClearSelection();

// What a cell holds, in words: as its tooltip shows it ("кр. < 5 >",
// "син. < 3 >", nothing for an empty cell) or as a screen reader says it
// ("красная сфера 5", "синяя сфера 3", "пусто").
QString CellWords(int value, bool spoken = false);

} // namespace tarmelon
