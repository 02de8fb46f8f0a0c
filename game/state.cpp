// SPDX-License-Identifier: GPL-3.0-or-later
#include "state.h"
#include "window.h"

namespace tarmelon {

GameState Game;
std::uint8_t InitialSpheres = 0;
QString DataDir;

namespace {
Window *currentWindow = nullptr;
}

Window &Win()
{
    Q_ASSERT(currentWindow);
    return *currentWindow;
}

void SetWindow(Window *window)
{
    currentWindow = window;
}

void ShowOnly(std::optional<Panel> panel)
{
    for (Panel each : {Panel::Board, Panel::Records, Panel::Help})
        Win().SetPanelVisible(each, each == panel);
}

} // namespace tarmelon
