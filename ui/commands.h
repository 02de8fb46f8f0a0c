// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shell's commands and the guard every event handler runs under. Nothing
// here needs a widget: the window is reached through Win().

#include <QString>

#include <functional>

namespace tarmelon {

// Start-up settings, all panels hidden; the caller then shows the window.
void Main();

// After Main(): the records file lives in `folder`, made when missing. A
// folder that cannot be made leaves it where Main() put it, and says so.
void KeepRecordsIn(const QString &folder);

void ShowHelp();

// Hides every panel and asks "Вы уверены?"; Yes ends the program.
void ExitCommand();

// The toolbar's click handler: buttons 1..4 (game, records, help, exit).
void ToolbarClick(int index);

// Runs one event handler to its end. A run-time error shows the error box and
// ends the program with the error's number as exit status; after the program
// has been told to end, no further handler runs.
void RunHandler(const std::function<void()> &handler);

// Marks the program as ending (the window's closing, the exit command).
void SetProgramEnding(bool ending);
bool ProgramEnding();

} // namespace tarmelon
