// SPDX-License-Identifier: GPL-3.0-or-later
#include "board.h"

#include "boardaccessible.h"
#include "commands.h"
#include "elements.h"
#include "layout.h"
#include "pictures.h"
#include "game/board.h"
#include "game/checked.h"
#include "game/moves.h"

#include <QAccessible>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tarmelon {

namespace {

using layout::Pitch;
// The board widget holds the cells and lies where cell 0 stands; a cell
// takes its picture's size plus the border, its corner staying put.
constexpr QPoint BoardCorner = layout::Image1Corner;
constexpr QSize CellSize = ValuePictureSize + QSize(2 * PictureBorder, 2 * PictureBorder);
constexpr QSize BoardSize{Pitch * (BoardSide - 1) + CellSize.width(),
                          Pitch * (BoardSide - 1) + CellSize.height()};

constexpr int FrameWidth = 2;
const QColor FrameColour(255, 214, 0); // amber: stands out on black, on red and on blue

void SendEvent(QAccessibleInterface *cell, QAccessible::Event type)
{
    if (!cell)
        return;
    QAccessibleEvent event(cell, type);
    QAccessible::updateAccessibility(&event);
}

} // namespace

// A board cell: its picture, unscaled, in a sunken border; a click (press and
// release on the cell) reports the cell's index.
class CellPicture : public QLabel {
public:
    CellPicture(int index, QWidget *layer, Board *board) : QLabel(layer), index_(index), board_(board)
    {
        setObjectName(layout::Name("Image1", index));
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(PictureBorder);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setGeometry(layout::Image1(index).translated(-BoardCorner));
        // Border and picture cover every pixel: a repaint skips the panel's
        // background and the neighbours beneath.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    // The sunken border's lines are the dearest part of a repaint, and a
    // click repaints several cells: each value's framed picture is drawn once
    // and then copied. At fractional scales a cell may start mid-pixel, so it
    // is drawn as QLabel draws it.
    void paintEvent(QPaintEvent *event) override
    {
        const qreal ratio = devicePixelRatioF();
        if (pixmap().isNull() || size() != CellSize || ratio != std::floor(ratio)) {
            QLabel::paintEvent(event);
            return;
        }
        static QHash<qint64, QPixmap> framed;
        QPixmap &cell = framed[pixmap().cacheKey()];
        if (cell.isNull() || cell.devicePixelRatio() != ratio) {
            cell = QPixmap(CellSize * ratio);
            cell.setDevicePixelRatio(ratio);
            QPainter painter(&cell);
            drawFrame(&painter);
            painter.drawPixmap(contentsRect().topLeft(), pixmap());
        }
        QPainter(this).drawPixmap(0, 0, cell);
    }
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
            board_->CellClicked(index_);
    }

private:
    int index_;
    Board *board_;
    bool pressed_ = false;
};

// The selection marker. It paints over its cell's picture only: the strokes'
// black edge would fall on the sunken border, which at fractional scales
// shows as a blot beside the board. A clip, not a widget mask, which would
// cost region work on every repaint.
class Marker : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setClipRect(rect().adjusted(PictureBorder, PictureBorder, 0, 0));
        painter.drawPixmap(0, 0, pixmap());
    }
};

// The focus cell's frame, in front of the cells and the marker, over the
// focus cell only and hidden when not shown, so that no other repaint passes
// through it; it lets every click through.
class FocusFrame : public QWidget {
public:
    explicit FocusFrame(Board *board) : QWidget(board)
    {
        setObjectName(QStringLiteral("focusFrame"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        // Four bars on whole pixels: crisp at any scale, and inside the
        // black margin that every sphere leaves.
        const QRect r = rect();
        QPainter painter(this);
        painter.fillRect(r.x(), r.y(), r.width(), FrameWidth, FrameColour);
        painter.fillRect(r.x(), r.bottom() - FrameWidth + 1, r.width(), FrameWidth, FrameColour);
        painter.fillRect(r.x(), r.y(), FrameWidth, r.height(), FrameColour);
        painter.fillRect(r.right() - FrameWidth + 1, r.y(), FrameWidth, r.height(), FrameColour);
    }
};

Board::Board(QWidget *panel) : QWidget(panel)
{
    setObjectName(QStringLiteral("board"));
    setGeometry(QRect(BoardCorner, BoardSize));
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Поле"));
    // Created in index order, so a higher-numbered cell lies in front where
    // neighbours overlap. They lie in a layer of their own, which they cover
    // whole: a marker or frame that moves makes Qt work out again what its
    // siblings cover, for three siblings rather than 66.
    auto *layer = new QWidget(this);
    layer->setGeometry(rect());
    layer->setAttribute(Qt::WA_OpaquePaintEvent);
    for (int i = 0; i < CellCount; ++i)
        cells_[static_cast<std::size_t>(i)] = new CellPicture(i, layer, this);
    // The marker lies in front of every cell. A click on it reaches no cell.
    marker_ = new Marker(this);
    marker_->setObjectName(QStringLiteral("Image3"));
    marker_->setGeometry(QRect(layout::Image3 - BoardCorner, MarkerSize));
    frame_ = new FocusFrame(this);
}

QPoint Board::CellPlace(int cell) const
{
    return pos() + cells_[Subscript(cell, 0, CellCount - 1)]->pos();
}

void Board::SetCellPicture(int cell, int value)
{
    CellPicture *picture = cells_[Subscript(cell, 0, CellCount - 1)];
    picture->setPixmap(ValuePicture(value)); // shared with the holder, not copied
    if (picture->size() != CellSize) // even an equal size makes Qt recount what the cells cover
        picture->resize(CellSize);
    if (QAccessible::isActive())
        SendEvent(QAccessible::queryAccessibleInterface(this)->tableInterface()->cellAt(
                      cell / BoardSide, cell % BoardSide),
                  QAccessible::NameChanged);
}

void Board::SetCellToolTip(int cell, const QString &text)
{
    cells_[Subscript(cell, 0, CellCount - 1)]->setToolTip(text);
}

void Board::SetMarkerPlace(QPoint place)
{
    marker_->move(place - pos());
}

void Board::SetMarkerVisible(bool visible)
{
    if (visible && marker_->pixmap().isNull()) // loaded when first shown, not at start-up
        marker_->setPixmap(LoadPicture(QStringLiteral("marker")));
    marker_->setVisible(visible);
    // The game picks its sphere before it shows the marker, and hides the
    // marker before it forgets the sphere.
    const int before = selected_;
    selected_ = visible ? SelectedCell() : -1;
    if (before == selected_ || !QAccessible::isActive())
        return;
    QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(this)->tableInterface();
    for (int cell : {before, selected_}) {
        if (cell < 0)
            continue;
        QAccessible::State selected;
        selected.selected = true;
        QAccessibleStateChangeEvent event(table->cellAt(cell / BoardSide, cell % BoardSide), selected);
        QAccessible::updateAccessibility(&event);
    }
}

QString Board::CellName(int cell) const
{
    const QString words = CellWords(Game.Board[Subscript(cell, 0, CellCount - 1)], true);
    return cell == SelectedCell() ? words + QStringLiteral(", выбрана") : words;
}

int Board::SelectedCell()
{
    return Game.SelectState == OneSelected ? Game.FirstCell : -1;
}

QRect Board::CellScreenRect(int cell) const
{
    const QRect r = cells_[Subscript(cell, 0, CellCount - 1)]->geometry();
    return QRect(mapToGlobal(r.topLeft()), QSize(Pitch, Pitch));
}

QRect Board::FocusFrameRect() const
{
    // The picture's part that no neighbour covers: 62 x 62 inside the border.
    const QPoint corner = cells_[static_cast<std::size_t>(focusCell_)]->pos();
    return QRect(corner + QPoint(PictureBorder, PictureBorder),
                 QSize(Pitch - PictureBorder, Pitch - PictureBorder));
}

bool Board::FocusFrameShown() const
{
    return hasFocus() && !pointing_;
}

void Board::PlaceFrame()
{
    frame_->setGeometry(FocusFrameRect());
    frame_->setVisible(FocusFrameShown());
}

void Board::SetFocusCell(int cell)
{
    const int next = static_cast<int>(Subscript(cell, 0, CellCount - 1));
    if (next == focusCell_)
        return;
    focusCell_ = next;
    news_.clear();
    PlaceFrame();
    if (hasFocus())
        AnnounceFocusCell();
}

void Board::AnnounceFocusCell()
{
    // A screen reader reads the cell only when the cell itself gets the focus.
    if (QAccessible::isActive())
        SendEvent(QAccessible::queryAccessibleInterface(this)->focusChild(), QAccessible::Focus);
}

void Board::TakeFocus(bool pointing)
{
    pointing_ = pointing;
    if (hasFocus())
        PlaceFrame();
    else
        setFocus(pointing ? Qt::MouseFocusReason : Qt::OtherFocusReason);
}

void Board::CellClicked(int cell)
{
    pointing_ = true;
    SetFocusCell(cell);
    PlaceFrame();
    Click(cell);
}

void Board::Click(int cell)
{
    const auto before = Game.Board;
    const int selected = SelectedCell();
    RunHandler([cell] { CellClick(cell); });
    // A won game has moved on to its boxes and the records, which speak for
    // themselves.
    if (ProgramEnding() || !isVisible())
        return;
    if (Game.Board != before) {
        const int spheres = Game.RedCount + Game.BlueCount;
        const auto had = static_cast<int>(std::count_if(before.begin(), before.end(), [](int v) { return v; }));
        const bool stays = Game.Board[static_cast<std::size_t>(cell)] != EmptyValue;
        // Two spheres went, one came back unless both vanished.
        Tell(QStringLiteral("%1Появилось сфер: %2. %3")
                 .arg(stays ? QString() : QStringLiteral("Обе сферы исчезли. "))
                 .arg(spheres - had + 2 - int(stays))
                 .arg(Counts()));
    } else if (SelectedCell() != selected) {
        Tell(SelectedCell() < 0 ? QStringLiteral("Выбор снят") : QString());
    }
}

QString Board::Counts()
{
    return QStringLiteral("Красных %1, синих %2").arg(Game.RedCount).arg(Game.BlueCount);
}

void Board::Tell(const QString &news)
{
    news_ = news;
    if (hasFocus())
        ReadAfresh(this);
}

void Board::keyPressEvent(QKeyEvent *event)
{
    const int row = focusCell_ / BoardSide, column = focusCell_ % BoardSide;
    const int last = BoardSide - 1;
    const bool control = event->modifiers() & Qt::ControlModifier;
    int target = -1;
    switch (event->key()) {
    case Qt::Key_Left: target = column > 0 ? focusCell_ - 1 : focusCell_; break;
    case Qt::Key_Right: target = column < last ? focusCell_ + 1 : focusCell_; break;
    case Qt::Key_Up: target = row > 0 ? focusCell_ - BoardSide : focusCell_; break;
    case Qt::Key_Down: target = row < last ? focusCell_ + BoardSide : focusCell_; break;
    case Qt::Key_Home: target = control ? 0 : row * BoardSide; break;
    case Qt::Key_End: target = control ? CellCount - 1 : row * BoardSide + last; break;
    case Qt::Key_PageUp: target = column; break;
    case Qt::Key_PageDown: target = last * BoardSide + column; break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    // A key shows the frame again after a mouse click hid it.
    if (std::exchange(pointing_, false))
        PlaceFrame();
    if (target >= 0)
        SetFocusCell(target);
    else // held down, it only clicks the selected sphere again, which does nothing
        Click(focusCell_);
}

void Board::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (event->reason() != Qt::MouseFocusReason)
        pointing_ = false;
    PlaceFrame();
    AnnounceFocusCell();
}

void Board::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    PlaceFrame();
}

} // namespace tarmelon
