// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way the game core and the records reach the main window: just the
// element operations the game needs, plus its two dialogs. The Qt window
// implements it; tests script it.

#include <QString>

#include <optional>

namespace tarmelon {

enum class Panel { Board, Records, Help };

// A message box's buttons and icon, valued exactly as QMessageBox's
// StandardButton and Icon: the Qt window hands them on unchanged, while the
// core names them without including a widget header.
namespace Box {
enum Button : unsigned { Ok = 0x00000400, Yes = 0x00004000, No = 0x00010000 };
enum Icon { NoIcon = 0, Information = 1, Warning = 2, Critical = 3, Question = 4 };
} // namespace Box

class Window {
public:
    virtual ~Window() = default;

    // Cell picture i (0..63): the picture of cell value `value` (0..18).
    virtual void SetCellPicture(int cell, int value) = 0;
    virtual void SetCellToolTip(int cell, const QString &text) = 0;
    virtual int CellLeft(int cell) const = 0;
    virtual int CellTop(int cell) const = 0;

    virtual void SetMarkerPlace(int left, int top) = 0;
    virtual void SetMarkerVisible(bool visible) = 0;

    virtual void SetCounterText(int index, const QString &text) = 0; // 0 red, 1 blue
    virtual void SetSecondsText(const QString &text) = 0;
    virtual void SetRecordNameText(int row, const QString &text) = 0;  // rows 0..9
    virtual void SetRecordScoreText(int row, const QString &text) = 0; // rows 0..9

    virtual void SetPanelVisible(Panel panel, bool visible) = 0;
    virtual void SetClockInterval(int milliseconds) = 0; // 0 = idle

    // Modal; `buttons` is Box::Ok or Box::Yes | Box::No; returns the button
    // pressed (closing a Yes/No box answers No).
    virtual Box::Button MessageBox(const QString &text, const QString &title, unsigned buttons,
                                   Box::Icon icon) = 0;
    // Modal; returns the typed text, or an empty text when cancelled.
    virtual QString InputBox(const QString &prompt, const QString &title,
                             const QString &defaultText) = 0;

    // Ends the program at once with this exit status.
    virtual void EndProgram(int status) = 0;
};

// The window the game talks to; set once at start-up (or by a test).
Window &Win();
void SetWindow(Window *window);

// The panels replace each other: `panel` is shown and the other two hidden;
// with none, all three are hidden and the title screen shows.
void ShowOnly(std::optional<Panel> panel);

} // namespace tarmelon
