// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tarmelon {

// One tick of the game clock: counts a second, shows it, and replaces a game
// that has run past the limit by a new one, unless that game was just won.
void ClockTick();

} // namespace tarmelon
