// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form1: the game's one fixed-size window, laid out element by element in
// pixels, and the game's window interface.

#include "game/window.h"

#include <QTimer>
#include <QWidget>

#include <array>

class QFrame;
class QLabel;

namespace tarmelon {

class Board;
class ToolbarButton;

class MainWindow : public QWidget, public Window {
public:
    MainWindow();
    ~MainWindow() override;

    // Window
    void SetCellPicture(int cell, int value) override;
    void SetCellToolTip(int cell, const QString &text) override;
    int CellLeft(int cell) const override;
    int CellTop(int cell) const override;
    void SetMarkerPlace(int left, int top) override;
    void SetMarkerVisible(bool visible) override;
    void SetCounterText(int index, const QString &text) override;
    void SetSecondsText(const QString &text) override;
    void SetRecordNameText(int row, const QString &text) override;
    void SetRecordScoreText(int row, const QString &text) override;
    void SetPanelVisible(Panel panel, bool visible) override;
    void SetClockInterval(int milliseconds) override;
    Box::Button MessageBox(const QString &text, const QString &title, unsigned buttons,
                           Box::Icon icon) override;
    QString InputBox(const QString &prompt, const QString &title,
                     const QString &defaultText) override;
    void EndProgram(int status) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void BuildTitleScreen();
    void BuildHelpPanel();
    void BuildBoardPanel();
    void BuildRecordsPanel();
    void BuildToolbar();
    void AddShortcut(const QKeySequence &keys, int button);
    // A new game hands the board the focus, framed unless the mouse started it.
    void RunCommand(int button, bool pointing);
    // Tells a screen reader which panel is shown, as soon as the window is
    // active: after a box, not while it is still open.
    void AnnouncePanel();
    // The records panel's rows, or after a win the place just taken.
    QString RecordsWords(QFrame *panel) const;

    std::array<ToolbarButton *, 4> buttons_{};
    std::array<QFrame *, 3> panels_{}; // Frame1 board, Frame2 records, Frame3 help
    Board *board_ = nullptr;
    std::array<QLabel *, 2> counters_{};
    QLabel *seconds_ = nullptr;
    std::array<QLabel *, 10> names_{};
    std::array<QLabel *, 10> scores_{};
    QTimer *clock_ = nullptr; // Timer1
    bool panelNews_ = false;
    // The name and time of a record just entered, for the panel's words.
    QString enteredName_;
    QString enteredTime_;
};

} // namespace tarmelon
