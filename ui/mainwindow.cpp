#include "mainwindow.h"

#include "commands.h"
#include "pictures.h"
#include "game/checked.h"
#include "game/clock.h"
#include "game/moves.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>
#include <QStyleOptionToolButton>
#include <QStylePainter>

#include <cstdio>
#include <cstdlib>

namespace tarmelon {

const QString HelpText = QStringLiteral(
    "Вначале игры на поле расположено 24 сферы. Нужно, используя комбинации, убрать все "
    "сферы с поля.\r\n"
    "При складывании двух одинаковых по размеру, но разных по цвету сфер, исчезают обе "
    "сферы.\r\n"
    "При складывании двух сфер одного цвета, из них появляется новая сфера, размер которой "
    "равен сумме размеров этих сфер и появляется новая случайная сфера. Если сумма размеров "
    "сфер больше 9-ти, то полученная сфера меняет цвет на противоположный и получает размер "
    "равный сумме сфер минус 9.\r\n"
    "При складывании разных по размеру и цвету сфер образуется новая сфера, которая имеет "
    "цвет большей сферы и размер равный разности складываемых сфер. После этого появляются "
    "еще три случайные сферы.");

namespace {

// The window's fonts, in pixels so that the pixel layout holds at any DPI:
// 8.25 pt is 11 px and 9.75 pt is 13 px at 96 dots per inch.
QFont WindowFont()
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

QFont BoldFont()
{
    QFont font = WindowFont();
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

// Pictures get a 2 px sunken border, labels a 1 px line, panels an etched one.
constexpr int PictureBorder = 2;

QLabel *Picture(QWidget *parent, const QPixmap &pixmap, QPoint at, QSize pictureSize)
{
    auto *label = new QLabel(parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(PictureBorder);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setPixmap(pixmap);
    label->setGeometry(QRect(at, pictureSize + QSize(2 * PictureBorder, 2 * PictureBorder)));
    return label;
}

QLabel *TextLabel(QWidget *parent, const QString &text, QRect geometry, const QFont &font,
                  Qt::Alignment alignment, bool bordered)
{
    auto *label = new QLabel(text, parent);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setGeometry(geometry);
    if (bordered) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
    }
    return label;
}

QFrame *PanelFrame(QWidget *parent, QRect geometry)
{
    auto *frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken); // etched
    frame->setGeometry(geometry);
    frame->setAutoFillBackground(true); // a panel covers what lies beneath it
    return frame;
}

// What a screen reader says of a cell: its row, column and content.
QString CellAccessibleName(int cell, int value)
{
    const QString place = QStringLiteral("Ряд %1, столбец %2: ").arg(cell / BoardSide + 1).arg(cell % BoardSide + 1);
    if (value == EmptyValue)
        return place + QStringLiteral("пусто");
    return place
        + (IsBlue(value) ? QStringLiteral("синяя сфера %1") : QStringLiteral("красная сфера %1"))
              .arg(SphereSize(value));
}

} // namespace

// A board cell: its picture, unscaled, in a sunken border; a click (press and
// release on the cell) reports the cell's index.
class CellPicture : public QLabel {
public:
    CellPicture(int index, QWidget *parent) : QLabel(parent), index_(index)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(PictureBorder);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        pressed_ = event->button() == Qt::LeftButton;
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        const bool click = pressed_ && event->button() == Qt::LeftButton
                           && rect().contains(event->position().toPoint());
        pressed_ = false;
        event->accept();
        if (click)
            RunHandler([i = index_] { CellClick(i); });
    }

private:
    int index_;
    bool pressed_ = false;
};

// A toolbar button drawn as the game's toolbar shows it: the picture at the
// left, the whole caption to its right. The style's own layout pads the
// picture and elides a caption that is a little too wide for the button.
class ToolbarButton : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter painter(this);
        QStyleOptionToolButton option;
        initStyleOption(&option);
        option.text.clear();
        option.icon = QIcon();
        painter.drawComplexControl(QStyle::CC_ToolButton, option);
        const int shift = isDown() ? 1 : 0;
        const QRect picture(QPoint(4 + shift, (height() - iconSize().height()) / 2 + shift), iconSize());
        icon().paint(&painter, picture);
        const QRect caption(picture.right() + 4, shift, width() - picture.right() - 4, height());
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    }
};

MainWindow::MainWindow()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Тармелон"));
    setWindowIcon(ProgramIcon());
    setFont(WindowFont());
    setFixedSize(ClientWidth, ClientHeight);

    // Children are stacked in creation order, the last on top: the title
    // screen lies beneath the panels, the panels beneath the toolbar.
    BuildTitleScreen();
    BuildHelpPanel();
    BuildBoardPanel();
    BuildRecordsPanel();
    BuildToolbar();

    clock_.setInterval(0);
    connect(&clock_, &QTimer::timeout, this, [] { RunHandler(ClockTick); });
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildTitleScreen()
{
    title_ = Picture(this, LoadPicture(QStringLiteral("title")), {8, 224}, TitleSize);
    logo_ = Picture(this, LoadPicture(QStringLiteral("logo")), {160, 64}, LogoSize);
    address_ = TextLabel(this, QStringLiteral("(2004 г.)  tarmelon.example.org"),
                         {128, 176, 281, 17}, BoldFont(), Qt::AlignCenter, false);
    author_ = TextLabel(this, QStringLiteral("Программу сделал Т. Мелонов"),
                        {112, 160, 305, 17}, BoldFont(), Qt::AlignCenter, false);
}

void MainWindow::BuildHelpPanel()
{
    helpPanel_ = PanelFrame(this, {8, 48, 513, 177});
    helpPanel_->setAccessibleName(QStringLiteral("Справка"));
    // QLabel draws a lone CR as a glyph; the line breaks are the same.
    QString shown = HelpText;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    help_ = TextLabel(helpPanel_, shown, {16, 16, 481, 153}, WindowFont(),
                      Qt::AlignLeft | Qt::AlignTop, false);
    help_->setWordWrap(true);
}

void MainWindow::BuildBoardPanel()
{
    board_ = PanelFrame(this, {0, 48, 529, 569});
    board_->setAccessibleName(QStringLiteral("Поле"));
    for (int i = 0; i < CellCount; ++i) {
        auto *cell = new CellPicture(i, board_);
        const int row = i / BoardSide, column = i % BoardSide;
        // Until its first picture a cell is 66 x 66; the 64 px pitch makes
        // neighbours overlap, the higher-numbered cell in front.
        cell->setGeometry(8 + 64 * column, 48 + 64 * row, 66, 66);
        cell->setAccessibleName(CellAccessibleName(i, EmptyValue));
        cells_[static_cast<std::size_t>(i)] = cell;
    }
    const QFont bold = BoldFont();
    const QColor colours[2] = {QColor(128, 0, 0), QColor(0, 0, 128)};
    for (int k = 0; k < 2; ++k) {
        QLabel *counter = TextLabel(board_, QStringLiteral("Label1"), {8 + 56 * k, 16, 57, 25},
                                    bold, Qt::AlignCenter, true);
        QPalette palette = counter->palette();
        palette.setColor(QPalette::Window, colours[k]);
        palette.setColor(QPalette::WindowText, Qt::white);
        counter->setPalette(palette);
        counter->setAutoFillBackground(true);
        counter->setAccessibleDescription(k == 0 ? QStringLiteral("Красных сфер")
                                                 : QStringLiteral("Синих сфер"));
        counters_[static_cast<std::size_t>(k)] = counter;
    }
    // The marker lies in front of every cell. A click on it reaches no cell.
    marker_ = new QLabel(board_);
    marker_->setPixmap(LoadPicture(QStringLiteral("marker")));
    marker_->setGeometry(QRect({8, 48}, MarkerSize));
    marker_->setAccessibleName(QStringLiteral("Выбранная сфера"));
    seconds_ = TextLabel(board_, QStringLiteral("0"), {128, 16, 89, 25}, bold, Qt::AlignCenter,
                         true);
    seconds_->setAccessibleDescription(QStringLiteral("Секунд"));
}

void MainWindow::BuildRecordsPanel()
{
    records_ = PanelFrame(this, {112, 48, 305, 193});
    records_->setAccessibleName(QStringLiteral("Рекорды"));
    QFont first = WindowFont();
    first.setBold(true);
    first.setUnderline(true);
    const QString none = QStringLiteral("---");
    for (int row = 0; row < 10; ++row) {
        const QFont font = row == 0 ? first : WindowFont();
        const int top = 24 + 16 * row;
        names_[static_cast<std::size_t>(row)] =
            TextLabel(records_, none, {32, top, 145, 17}, font, Qt::AlignLeft | Qt::AlignVCenter, false);
        scores_[static_cast<std::size_t>(row)] =
            TextLabel(records_, none, {200, top, 65, 17}, font, Qt::AlignLeft | Qt::AlignVCenter, false);
    }
    divider_ = PanelFrame(records_, {184, 8, 9, 177});
}

void MainWindow::BuildToolbar()
{
    toolbar_ = new QToolBar(this);
    toolbar_->setGeometry(0, 0, ClientWidth, 44);
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(ToolbarPictureSize);
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const char *const pictures[] = {"toolbar/game", "toolbar/records", "toolbar/help",
                                    "toolbar/exit"};
    const QString captions[] = {QStringLiteral("Игра  "), QStringLiteral("Рекорды  "),
                                QStringLiteral("Справка  "), QStringLiteral("Выход  ")};
    for (int k = 0; k < 4; ++k) {
        // Buttons of their own rather than actions: an action's text loses
        // the captions' trailing blanks.
        auto *button = new ToolbarButton(toolbar_);
        button->setIcon(QIcon(LoadPicture(QString::fromLatin1(pictures[k]))));
        button->setText(captions[k]);
        button->setIconSize(ToolbarPictureSize);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        button->setFixedSize(94, 38);
        button->setFocusPolicy(Qt::NoFocus);
        toolbar_->addWidget(button);
        connect(button, &QToolButton::clicked, this,
                [index = k + 1] { RunHandler([index] { ToolbarClick(index); }); });
        buttons_[static_cast<std::size_t>(k)] = button;
    }
}

QToolButton *MainWindow::toolbarButton(int index) const
{
    return buttons_[Subscript(index, 1, 4)];
}

QFrame *MainWindow::panel(Panel which) const
{
    switch (which) {
    case Panel::Board: return board_;
    case Panel::Records: return records_;
    case Panel::Help: return helpPanel_;
    }
    return nullptr;
}

QLabel *MainWindow::cell(int i) const
{
    return cells_[Subscript(i, 0, CellCount - 1)];
}

void MainWindow::SetCellPicture(int i, int value)
{
    QLabel *label = cell(i);
    label->setPixmap(ValuePicture(value)); // shared with the holder, not copied
    label->setAccessibleName(CellAccessibleName(i, value));
    // A cell takes its picture's size plus the border, its corner staying put.
    label->resize(ValuePictureSize + QSize(2 * PictureBorder, 2 * PictureBorder));
}

void MainWindow::SetCellToolTip(int i, const QString &text)
{
    cell(i)->setToolTip(text);
}

int MainWindow::CellLeft(int i) const { return cell(i)->x(); }
int MainWindow::CellTop(int i) const { return cell(i)->y(); }

void MainWindow::SetMarkerPlace(int left, int top)
{
    marker_->move(left, top);
}

void MainWindow::SetMarkerVisible(bool visible)
{
    marker_->setVisible(visible);
}

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
    panel(which)->setVisible(visible);
}

void MainWindow::SetClockInterval(int milliseconds)
{
    if (milliseconds <= 0)
        clock_.stop();
    else
        clock_.start(milliseconds);
}

int MainWindow::MessageBox(const QString &text, const QString &title, int style)
{
    const int buttons = style & 7;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (style & 0x70) {
    case MsgStyle::Critical: icon = QMessageBox::Critical; break;
    case MsgStyle::Question: icon = QMessageBox::Question; break;
    case MsgStyle::Exclamation: icon = QMessageBox::Warning; break;
    case MsgStyle::Information: icon = QMessageBox::Information; break;
    default: break;
    }
    QMessageBox box(icon, title, text,
                    buttons == MsgStyle::YesNo ? QMessageBox::Yes | QMessageBox::No
                                               : QMessageBox::Ok,
                    isVisible() ? this : nullptr);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Ok;
    }
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
    clock_.stop();
    hide();
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closing the window ends the program at once, without a question, and
    // no handler runs after it.
    SetProgramEnding(true);
    clock_.stop();
    event->accept();
    QCoreApplication::exit(0);
}

} // namespace tarmelon
