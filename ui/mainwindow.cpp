// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include "board.h"
#include "boardaccessible.h"
#include "commands.h"
#include "elements.h"
#include "helptext.h"
#include "layout.h"
#include "pictures.h"
#include "toolbarbutton.h"
#include "game/checked.h"
#include "game/clock.h"
#include "game/state.h"

#include <QAbstractButton>
#include <QAccessible>
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

MainWindow::MainWindow()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    // Before any part of the window meets a screen reader.
    QAccessible::installFactory(AccessibleFactory);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Тармелон"));
    setWindowIcon(ProgramIcon());
    setFont(WindowFont());
    setFixedSize(layout::Form1);

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
    clock_->setObjectName(QStringLiteral("Timer1"));
    clock_->setInterval(0);
    connect(clock_, &QTimer::timeout, this, [] { RunHandler(ClockTick); });
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildTitleScreen()
{
    Picture(this, QStringLiteral("Image2"), LoadPicture(QStringLiteral("title")), layout::Image2);
    Picture(this, QStringLiteral("Image4"), LoadPicture(QStringLiteral("logo")), layout::Image4);
    TextLabel(this, QStringLiteral("Label7"), QStringLiteral("(2004 г.)  tarmelon.example.org"),
              layout::Label7, BoldFont(), Qt::AlignCenter, false);
    TextLabel(this, QStringLiteral("Label6"), QStringLiteral("Программу сделал Т. Мелонов"),
              layout::Label6, BoldFont(), Qt::AlignCenter, false);
}

void MainWindow::BuildHelpPanel()
{
    QFrame *panel = PanelFrame(this, QStringLiteral("Frame3"), layout::Frame3);
    panel->setAccessibleName(QStringLiteral("Справка"));
    panels_[static_cast<std::size_t>(Panel::Help)] = panel;
    // QLabel draws a lone CR as a glyph; the line breaks are the same.
    QString shown = HelpText;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QLabel *help = TextLabel(panel, QStringLiteral("Label5"), shown, layout::Label5,
                             WindowFont(), Qt::AlignLeft | Qt::AlignTop, false);
    help->setWordWrap(true);
}

void MainWindow::BuildBoardPanel()
{
    QFrame *panel = PanelFrame(this, QStringLiteral("Frame1"), layout::Frame1);
    panel->setAccessibleName(QStringLiteral("Поле"));
    panels_[static_cast<std::size_t>(Panel::Board)] = panel;
    board_ = new Board(panel);
    const QColor colours[2] = {QColor(128, 0, 0), QColor(0, 0, 128)};
    for (int k = 0; k < 2; ++k) {
        QLabel *counter = TextLabel(panel, layout::Name("Label1", k), QStringLiteral("Label1"),
                                    layout::Label1[k], BoldFont(), Qt::AlignCenter, true);
        QPalette palette = counter->palette();
        palette.setColor(QPalette::Window, colours[k]);
        palette.setColor(QPalette::WindowText, Qt::white);
        counter->setPalette(palette);
        counter->setAutoFillBackground(true);
        counters_[static_cast<std::size_t>(k)] = counter;
    }
    seconds_ = TextLabel(panel, QStringLiteral("Label2"), QStringLiteral("0"), layout::Label2, BoldFont(),
                         Qt::AlignCenter, true);
}

void MainWindow::BuildRecordsPanel()
{
    QFrame *panel = PanelFrame(this, QStringLiteral("Frame2"), layout::Frame2);
    panel->setAccessibleName(QStringLiteral("Рекорды"));
    panels_[static_cast<std::size_t>(Panel::Records)] = panel;
    QFont first = WindowFont();
    first.setBold(true);
    first.setUnderline(true);
    const QString none = QStringLiteral("---");
    for (int row = 0; row < 10; ++row) {
        const QFont font = row == 0 ? first : WindowFont();
        const auto k = static_cast<std::size_t>(row);
        names_[k] = TextLabel(panel, layout::Name("Label3", row), none, layout::Label3(row), font,
                              Qt::AlignLeft | Qt::AlignVCenter, false);
        scores_[k] = TextLabel(panel, layout::Name("Label4", row), none, layout::Label4(row), font,
                               Qt::AlignLeft | Qt::AlignVCenter, false);
    }
    PanelFrame(panel, QStringLiteral("Frame4"), layout::Frame4);
}

void MainWindow::BuildToolbar()
{
    auto *toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setGeometry(layout::Toolbar1);
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    const char *const pictures[] = {"toolbar/game", "toolbar/records", "toolbar/help", "toolbar/exit"};
    const QString captions[] = {QStringLiteral("Игра  "), QStringLiteral("Рекорды  "),
                                QStringLiteral("Справка  "), QStringLiteral("Выход  ")};
    for (int k = 0; k < 4; ++k) {
        // Buttons of their own rather than actions: an action's text loses
        // the captions' trailing blanks.
        // Named by the index the toolbar reports: Toolbar1_1 is the game button.
        auto *button = new ToolbarButton(layout::Name("Toolbar1", k + 1),
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
    QLabel *counter = counters_[Subscript(index, 0, 1)];
    counter->setText(text);
    counter->setAccessibleName((index == 0 ? QStringLiteral("Красных сфер: ") : QStringLiteral("Синих сфер: ")) + text);
}

void MainWindow::SetSecondsText(const QString &text)
{
    seconds_->setText(text);
    seconds_->setAccessibleName(QStringLiteral("Секунды: ") + text);
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
    QFrame *panel = panels_[Subscript(static_cast<int>(which), 0, 2)];
    // Every command that shows a panel says which, also when it shows already.
    if (visible)
        AnnouncePanel();
    panel->setVisible(visible);
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
    // The buttons speak Russian whatever the system's language.
    for (const auto &[button, word] : {std::pair(QMessageBox::Ok, QStringLiteral("ОК")),
                                       std::pair(QMessageBox::Yes, QStringLiteral("&Да")),
                                       std::pair(QMessageBox::No, QStringLiteral("&Нет"))})
        if (QAbstractButton *shown = box.button(button))
            shown->setText(word);
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
    // Russian whatever the system's language, as in MessageBox.
    dialog.setOkButtonText(QStringLiteral("ОК"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    // Before typing a name, the player who cannot see the clock hears the time.
    enteredTime_ = QString::number(Game.ElapsedSeconds);
    dialog.setAccessibleDescription(QStringLiteral("Время игры, секунд: ") + enteredTime_);
    enteredName_ = dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
    AnnouncePanel();
    return enteredName_;
}

void MainWindow::AnnouncePanel()
{
    panelNews_ = true;
    // After the handler has filled the panel in.
    QTimer::singleShot(0, this, [this] {
        if (!panelNews_ || !isActiveWindow())
            return;
        panelNews_ = false;
        if (board_->isVisible())
            return board_->Tell(Board::Counts());
        for (QFrame *panel : panels_)
            if (panel->isVisible()) {
                panel->setAccessibleDescription(RecordsWords(panel));
                ReadAfresh(panel);
            }
        enteredName_.clear();
    });
}

QString MainWindow::RecordsWords(QFrame *panel) const
{
    if (panel != panels_[static_cast<std::size_t>(Panel::Records)])
        return {};
    QString rows;
    for (std::size_t k = 0; k < names_.size(); ++k) {
        const QString row = QStringLiteral("%1: %2, %3").arg(k + 1).arg(names_[k]->text(), scores_[k]->text());
        // After a win, the place just taken.
        if (!enteredName_.isEmpty() && scores_[k]->text() == enteredTime_
            && enteredName_.startsWith(names_[k]->text()))
            return QStringLiteral("Ваше место ") + row;
        rows += (k ? QStringLiteral(". ") : QString()) + row;
    }
    return rows;
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

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && panelNews_)
        AnnouncePanel();
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
