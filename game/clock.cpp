#include "clock.h"

#include "checked.h"
#include "dealing.h"
#include "state.h"
#include "window.h"

namespace tarmelon {

void ClockTick()
{
    Game.ElapsedSeconds = ToInteger(Game.ElapsedSeconds + 1);
    Win().SetSecondsText(QString::number(Game.ElapsedSeconds));
    if (Game.ElapsedSeconds > MaxGameSeconds)
        NewGame();
}

} // namespace tarmelon
