// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tarmelon {

// A click on cell picture `cell` (0..63).
void CellClick(int cell);

// Selects, combines or drops the selection for the click in
// ClickedCell / ClickedValue.
void ResolveClick();

} // namespace tarmelon
