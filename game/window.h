#pragma once
// The one way the game core and the records reach the main window: just the
// element operations the game needs, plus its two dialogs. The Qt window
// implements it; tests script it.

#include <QString>

namespace tarmelon {

enum class Panel { Board, Records, Help };

// Message-box styles and answers, numbered as the classic Windows ones.
namespace MsgStyle {
constexpr int Ok = 0;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
} // namespace MsgStyle
namespace Answer {
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace Answer

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

    // Modal; returns the answer (Answer::…).
    virtual int MessageBox(const QString &text, const QString &title, int style) = 0;
    // Modal; returns the typed text, or an empty text when cancelled.
    virtual QString InputBox(const QString &prompt, const QString &title,
                             const QString &defaultText) = 0;

    // Ends the program at once with this exit status.
    virtual void EndProgram(int status) = 0;
};

// The window the game talks to; set once at start-up (or by a test).
Window &Win();
void SetWindow(Window *window);

} // namespace tarmelon
