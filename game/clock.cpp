// SPDX-License-Identifier: GPL-3.0-or-later
#include "clock.h"

#include "checked.h"
#include "dealing.h"
#include "state.h"
#include "window.h"

namespace tarmelon {

void ClockTick()
{
    // The clock runs on while the victory box is open, but a won game waiting
    // for its records step is neither replaced nor overflowed: the win stays.
    const bool won = Game.SelectState == GameWon;
    if (won && Game.ElapsedSeconds == INT16_MAX)
        return;
    Game.ElapsedSeconds = ToInteger(Game.ElapsedSeconds + 1);
    Win().SetSecondsText(QString::number(Game.ElapsedSeconds));
    if (Game.ElapsedSeconds > MaxGameSeconds && !won)
        NewGame();
}

} // namespace tarmelon
