#pragma once
// Form1: the game's one fixed-size window, laid out element by element in
// pixels, and the game's window interface.

#include "game/state.h"
#include "game/window.h"

#include <QTimer>
#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QToolBar;
class QToolButton;

namespace tarmelon {

class CellPicture;

class MainWindow : public QWidget, public Window {
public:
    static constexpr int ClientWidth = 533;
    static constexpr int ClientHeight = 621;

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
    int MessageBox(const QString &text, const QString &title, int style) override;
    QString InputBox(const QString &prompt, const QString &title,
                     const QString &defaultText) override;
    void EndProgram(int status) override;

    // The elements, for tests and accessibility checks.
    QToolBar *toolbar() const { return toolbar_; }
    QToolButton *toolbarButton(int index) const; // 1..4
    QFrame *panel(Panel panel) const;
    QLabel *cell(int i) const;
    QLabel *marker() const { return marker_; }
    QLabel *counter(int index) const { return counters_[static_cast<std::size_t>(index)]; }
    QLabel *seconds() const { return seconds_; }
    QLabel *recordName(int row) const { return names_[static_cast<std::size_t>(row)]; }
    QLabel *recordScore(int row) const { return scores_[static_cast<std::size_t>(row)]; }
    QFrame *divider() const { return divider_; }
    QLabel *helpText() const { return help_; }
    QLabel *authorLine() const { return author_; }
    QLabel *addressLine() const { return address_; }
    QLabel *logo() const { return logo_; }
    QLabel *titlePicture() const { return title_; }
    const QTimer &clock() const { return clock_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildTitleScreen();
    void BuildHelpPanel();
    void BuildBoardPanel();
    void BuildRecordsPanel();
    void BuildToolbar();

    QToolBar *toolbar_ = nullptr;
    std::array<QToolButton *, 4> buttons_{};
    QFrame *board_ = nullptr;   // Frame1
    QFrame *records_ = nullptr; // Frame2
    QFrame *helpPanel_ = nullptr; // Frame3
    QFrame *divider_ = nullptr; // Frame4
    std::array<CellPicture *, CellCount> cells_{};
    QLabel *marker_ = nullptr;
    std::array<QLabel *, 2> counters_{};
    QLabel *seconds_ = nullptr;
    std::array<QLabel *, 10> names_{};
    std::array<QLabel *, 10> scores_{};
    QLabel *help_ = nullptr;
    QLabel *author_ = nullptr;
    QLabel *address_ = nullptr;
    QLabel *logo_ = nullptr;
    QLabel *title_ = nullptr;
    QTimer clock_; // Timer1
};

// The help panel's text: four paragraphs, CR LF between them.
extern const QString HelpText;

} // namespace tarmelon
