// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include "board.h"
#include "commands.h"
#include "elements.h"
#include "helptext.h"
#include "pictures.h"
#include "toolbarbutton.h"
#include "game/checked.h"
#include "game/clock.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QShortcut>
#include <QToolBar>

#include <cstdio>
#include <cstdlib>

namespace tarmelon {

// The core names the message box's buttons and icons with Qt's own values.
constexpr bool SameValue(int ours, int qts) { return ours == qts; }
static_assert(SameValue(Box::Ok, QMessageBox::Ok) && SameValue(Box::Yes, QMessageBox::Yes)
              && SameValue(Box::No, QMessageBox::No));
static_assert(SameValue(Box::NoIcon, QMessageBox::NoIcon) && SameValue(Box::Warning, QMessageBox::Warning)
              && SameValue(Box::Information, QMessageBox::Information)
              && SameValue(Box::Critical, QMessageBox::Critical)
              && SameValue(Box::Question, QMessageBox::Question));

namespace {
constexpr QSize ClientSize{533, 621};
} // namespace

MainWindow::MainWindow()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("form1"));
    setWindowTitle(QStringLiteral("Тармелон"));
    setWindowIcon(ProgramIcon());
    setFont(WindowFont());
    setFixedSize(ClientSize);

    // Children are stacked in creation order, the last on top: the title
    // screen lies beneath the panels, the panels beneath the toolbar.
    BuildTitleScreen();
    BuildHelpPanel();
    BuildBoardPanel();
    BuildRecordsPanel();
    BuildToolbar();

    // The standard game keys, wherever the focus is; a box that is open
    // holds the keyboard, so they do nothing then.
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), 1);
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), 2);
    AddShortcut(QKeySequence(Qt::Key_F1), 3);
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), 4);

    clock_ = new QTimer(this);
    clock_->setObjectName(QStringLiteral("clock"));
    clock_->setInterval(0);
    connect(clock_, &QTimer::timeout, this, [] { RunHandler(ClockTick); });
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildTitleScreen()
{
    Picture(this, QStringLiteral("titlePicture"), LoadPicture(QStringLiteral("title")), {8, 224});
    Picture(this, QStringLiteral("logo"), LoadPicture(QStringLiteral("logo")), {160, 64});
    TextLabel(this, QStringLiteral("addressLine"), QStringLiteral("(2004 г.)  tarmelon.example.org"),
              {128, 176, 281, 17}, BoldFont(), Qt::AlignCenter, false);
    TextLabel(this, QStringLiteral("authorLine"), QStringLiteral("Программу сделал Т. Мелонов"),
              {112, 160, 305, 17}, BoldFont(), Qt::AlignCenter, false);
}

void MainWindow::BuildHelpPanel()
{
    QFrame *panel = PanelFrame(this, QStringLiteral("helpPanel"), {8, 48, 513, 177});
    panel->setAccessibleName(QStringLiteral("Справка"));
    panels_[static_cast<std::size_t>(Panel::Help)] = panel;
    // QLabel draws a lone CR as a glyph; the line breaks are the same.
    QString shown = HelpText;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QLabel *help = TextLabel(panel, QStringLiteral("helpText"), shown, {16, 16, 481, 153},
                             WindowFont(), Qt::AlignLeft | Qt::AlignTop, false);
    help->setWordWrap(true);
}

void MainWindow::BuildBoardPanel()
{
    QFrame *panel = PanelFrame(this, QStringLiteral("boardPanel"), {0, 48, 529, 569});
    panel->setAccessibleName(QStringLiteral("Поле"));
    panels_[static_cast<std::size_t>(Panel::Board)] = panel;
    board_ = new Board(panel);
    const QColor colours[2] = {QColor(128, 0, 0), QColor(0, 0, 128)};
    const char *const names[2] = {"redCounter", "blueCounter"};
    for (int k = 0; k < 2; ++k) {
        QLabel *counter = TextLabel(panel, QString::fromLatin1(names[k]), QStringLiteral("Label1"),
                                    {8 + 56 * k, 16, 57, 25}, BoldFont(), Qt::AlignCenter, true);
        QPalette palette = counter->palette();
        palette.setColor(QPalette::Window, colours[k]);
        palette.setColor(QPalette::WindowText, Qt::white);
        counter->setPalette(palette);
        counter->setAutoFillBackground(true);
        counter->setAccessibleDescription(k == 0 ? QStringLiteral("Красных сфер")
                                                 : QStringLiteral("Синих сфер"));
        counters_[static_cast<std::size_t>(k)] = counter;
    }
    seconds_ = TextLabel(panel, QStringLiteral("seconds"), QStringLiteral("0"), {128, 16, 89, 25},
                         BoldFont(), Qt::AlignCenter, true);
    seconds_->setAccessibleDescription(QStringLiteral("Секунд"));
}

void MainWindow::BuildRecordsPanel()
{
    QFrame *panel = PanelFrame(this, QStringLiteral("recordsPanel"), {112, 48, 305, 193});
    panel->setAccessibleName(QStringLiteral("Рекорды"));
    panels_[static_cast<std::size_t>(Panel::Records)] = panel;
    QFont first = WindowFont();
    first.setBold(true);
    first.setUnderline(true);
    const QString none = QStringLiteral("---");
    for (int row = 0; row < 10; ++row) {
        const QFont font = row == 0 ? first : WindowFont();
        const int top = 24 + 16 * row;
        const auto k = static_cast<std::size_t>(row);
        names_[k] = TextLabel(panel, QStringLiteral("recordName%1").arg(row), none, {32, top, 145, 17},
                              font, Qt::AlignLeft | Qt::AlignVCenter, false);
        scores_[k] = TextLabel(panel, QStringLiteral("recordScore%1").arg(row), none,
                               {200, top, 65, 17}, font, Qt::AlignLeft | Qt::AlignVCenter, false);
    }
    PanelFrame(panel, QStringLiteral("divider"), {184, 8, 9, 177});
}

void MainWindow::BuildToolbar()
{
    auto *toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("toolbar"));
    toolbar->setGeometry(0, 0, ClientSize.width(), 44);
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    const char *const names[] = {"gameButton", "recordsButton", "helpButton", "exitButton"};
    const char *const pictures[] = {"toolbar/game", "toolbar/records", "toolbar/help", "toolbar/exit"};
    const QString captions[] = {QStringLiteral("Игра  "), QStringLiteral("Рекорды  "),
                                QStringLiteral("Справка  "), QStringLiteral("Выход  ")};
    for (int k = 0; k < 4; ++k) {
        // Buttons of their own rather than actions: an action's text loses
        // the captions' trailing blanks.
        auto *button = new ToolbarButton(QString::fromLatin1(names[k]),
                                         LoadPicture(QString::fromLatin1(pictures[k])), captions[k],
                                         toolbar);
        toolbar->addWidget(button);
        // A button that holds the focus since start-up may still be clicked.
        connect(button, &QToolButton::clicked, this,
                [this, k, button] { RunCommand(k + 1, button->Pointed()); });
        buttons_[static_cast<std::size_t>(k)] = button;
    }
    // Tab goes through the four buttons, then to the board.
    for (std::size_t k = 0; k + 1 < buttons_.size(); ++k)
        setTabOrder(buttons_[k], buttons_[k + 1]);
    setTabOrder(buttons_.back(), board_);
}

void MainWindow::AddShortcut(const QKeySequence &keys, int button)
{
    auto *shortcut = new QShortcut(keys, this);
    connect(shortcut, &QShortcut::activated, this, [this, button] { RunCommand(button, false); });
}

void MainWindow::RunCommand(int button, bool pointing)
{
    RunHandler([button] { ToolbarClick(button); });
    if (button == 1 && board_->isVisible() && !ProgramEnding())
        board_->TakeFocus(pointing);
}

void MainWindow::SetCellPicture(int i, int value) { board_->SetCellPicture(i, value); }
void MainWindow::SetCellToolTip(int i, const QString &text) { board_->SetCellToolTip(i, text); }
int MainWindow::CellLeft(int i) const { return board_->CellPlace(i).x(); }
int MainWindow::CellTop(int i) const { return board_->CellPlace(i).y(); }
void MainWindow::SetMarkerPlace(int left, int top) { board_->SetMarkerPlace({left, top}); }
void MainWindow::SetMarkerVisible(bool visible) { board_->SetMarkerVisible(visible); }

void MainWindow::SetCounterText(int index, const QString &text)
{
    counters_[Subscript(index, 0, 1)]->setText(text);
}

void MainWindow::SetSecondsText(const QString &text)
{
    seconds_->setText(text);
}

void MainWindow::SetRecordNameText(int row, const QString &text)
{
    names_[Subscript(row, 0, 9)]->setText(text);
}

void MainWindow::SetRecordScoreText(int row, const QString &text)
{
    scores_[Subscript(row, 0, 9)]->setText(text);
}

void MainWindow::SetPanelVisible(Panel which, bool visible)
{
    panels_[Subscript(static_cast<int>(which), 0, 2)]->setVisible(visible);
}

void MainWindow::SetClockInterval(int milliseconds)
{
    if (milliseconds <= 0)
        clock_->stop();
    else
        clock_->start(milliseconds);
}

Box::Button MainWindow::MessageBox(const QString &text, const QString &title, unsigned buttons,
                                   Box::Icon icon)
{
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), title, text,
                    QMessageBox::StandardButtons(static_cast<int>(buttons)),
                    isVisible() ? this : nullptr);
    // Paths and the system's reasons are shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    const auto pressed = static_cast<unsigned>(box.exec());
    if (pressed == Box::Yes || pressed == Box::No)
        return static_cast<Box::Button>(pressed);
    return (buttons & Box::No) ? Box::No : Box::Ok;
}

QString MainWindow::InputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    QInputDialog dialog(isVisible() ? this : nullptr);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

void MainWindow::EndProgram(int status)
{
    if (status != 0) {
        // After a run-time error nothing more of the program may run, not even
        // the rest of a handler waiting under a modal box.
        std::fflush(nullptr);
        std::_Exit(status);
    }
    clock_->stop();
    hide();
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closing the window ends the program at once, without a question, and
    // no handler runs after it.
    SetProgramEnding(true);
    clock_->stop();
    event->accept();
    QCoreApplication::exit(0);
}

} // namespace tarmelon
