// SPDX-License-Identifier: GPL-3.0-or-later
#include "boardaccessible.h"

#include "board.h"
#include "layout.h"

#include <QAccessibleWidget>
#include <QLabel>

#include <algorithm>
#include <array>

namespace tarmelon {

namespace {

class BoardAccessible;

// One cell of the table. It belongs to its table, which makes each cell
// once and keeps it for the board's life.
class CellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    CellAccessible(BoardAccessible *table, int cell) : table_(table), cell_(cell) {}

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface *>(this)
                                                       : nullptr;
    }

    bool isSelected() const override;
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return cell_ % BoardSide; }
    int rowIndex() const override { return cell_ / BoardSide; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override;

private:
    Board *board() const;
    BoardAccessible *table_;
    int cell_;
};

// A table whose selection only the game makes: no row or column is ever
// selected, and a screen reader cannot select anything.
class PlainTable : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit PlainTable(QWidget *widget) : QAccessibleWidget(widget, QAccessible::Table) {}
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface *> selectedCells() const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override {}
};

class BoardAccessible : public PlainTable {
public:
    explicit BoardAccessible(Board *board) : PlainTable(board)
    {
        for (int i = 0; i < CellCount; ++i) {
            auto *cell = new CellAccessible(this, i);
            QAccessible::registerAccessibleInterface(cell);
            cells_[static_cast<std::size_t>(i)] = cell;
        }
    }
    ~BoardAccessible() override
    {
        for (CellAccessible *cell : cells_)
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(cell));
    }

    Board *board() const { return static_cast<Board *>(widget()); }
    // A cell under a new identity, so that a screen reader reads it again.
    CellAccessible *Renew(int i)
    {
        auto &cell = cells_[static_cast<std::size_t>(i)];
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(cell));
        cell = new CellAccessible(this, i);
        QAccessible::registerAccessibleInterface(cell);
        return cell;
    }
    CellAccessible *Cell(int i) const { return cells_[static_cast<std::size_t>(i)]; }

    int childCount() const override { return CellCount; }
    QAccessibleInterface *child(int index) const override
    {
        return index >= 0 && index < CellCount ? Cell(index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < CellCount; ++i)
            if (Cell(i) == child)
                return i;
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = CellCount - 1; i >= 0; --i)
            if (board()->CellScreenRect(i).contains(x, y))
                return Cell(i);
        return nullptr;
    }
    // Always the focus cell, so a reader that asks the table finds a cell.
    QAccessibleInterface *focusChild() const override { return Cell(board()->FocusCell()); }

    QAccessibleInterface *cellAt(int row, int column) const override
    {
        if (row < 0 || row >= BoardSide || column < 0 || column >= BoardSide)
            return nullptr;
        return Cell(row * BoardSide + column);
    }
    int columnCount() const override { return BoardSide; }
    int rowCount() const override { return BoardSide; }
    QString columnDescription(int column) const override { return QString::number(column + 1); }
    QString rowDescription(int row) const override { return QString::number(row + 1); }
    int selectedCellCount() const override { return board()->SelectedCell() < 0 ? 0 : 1; }
    QList<QAccessibleInterface *> selectedCells() const override
    {
        const int cell = board()->SelectedCell();
        return cell < 0 ? QList<QAccessibleInterface *>() : QList<QAccessibleInterface *>{Cell(cell)};
    }

private:
    std::array<CellAccessible *, CellCount> cells_{};
};

bool CellAccessible::isValid() const { return table_->isValid(); }
QWindow *CellAccessible::window() const { return table_->window(); }
QAccessibleInterface *CellAccessible::parent() const { return table_; }
QAccessibleInterface *CellAccessible::table() const { return table_; }
Board *CellAccessible::board() const { return table_->board(); }

QString CellAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name: return board()->CellName(cell_);
    case QAccessible::Description: return board()->CellNews(cell_);
    default: return {};
    }
}

QRect CellAccessible::rect() const { return board()->CellScreenRect(cell_); }

bool CellAccessible::isSelected() const { return board()->SelectedCell() == cell_; }

QAccessible::State CellAccessible::state() const
{
    QAccessible::State state;
    state.focusable = true;
    state.selectable = true;
    state.focused = board()->hasFocus() && board()->FocusCell() == cell_;
    state.selected = isSelected();
    state.invisible = !board()->isVisible();
    return state;
}

// One of the records table's twenty cells: a name or a time, as its label
// shows it. The label is looked up when asked for: the panel may meet a
// screen reader before its labels are made.
class RecordCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    RecordCell(QAccessibleWidget *table, int row, int column) : table_(table), row_(row), column_(column) {}
    bool isValid() const override { return table_->isValid(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return table_->window(); }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return table_; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && label() ? label()->text() : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override { return label() ? QRect(label()->mapToGlobal(QPoint()), label()->size()) : QRect(); }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !label() || !label()->isVisible();
        return state;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface *>(this)
                                                       : nullptr;
    }
    bool isSelected() const override { return false; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return table_; }

private:
    QLabel *label() const
    {
        return static_cast<QWidget *>(table_->object())->findChild<QLabel *>(
            layout::Name(column_ ? "Label4" : "Label3", row_));
    }
    QAccessibleWidget *table_;
    int row_, column_;
};

// The records panel: a table of ten rows, each a name and a time.
class RecordsAccessible : public PlainTable {
public:
    explicit RecordsAccessible(QWidget *panel) : PlainTable(panel)
    {
        for (int i = 0; i < RecordCells; ++i) {
            cells_[static_cast<std::size_t>(i)] = new RecordCell(this, i / 2, i % 2);
            QAccessible::registerAccessibleInterface(cells_[static_cast<std::size_t>(i)]);
        }
    }
    ~RecordsAccessible() override
    {
        for (RecordCell *cell : cells_)
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(cell));
    }
    int childCount() const override { return RecordCells; }
    QAccessibleInterface *child(int i) const override
    {
        return i >= 0 && i < RecordCells ? cells_[static_cast<std::size_t>(i)] : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto found = std::find(cells_.begin(), cells_.end(), child);
        return found == cells_.end() ? -1 : static_cast<int>(found - cells_.begin());
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (RecordCell *cell : cells_)
            if (cell->rect().contains(x, y))
                return cell;
        return nullptr;
    }

    QAccessibleInterface *cellAt(int row, int column) const override { return child(row * 2 + column); }
    int columnCount() const override { return 2; }
    int rowCount() const override { return RecordCells / 2; }
    QString columnDescription(int) const override { return {}; }
    QString rowDescription(int row) const override { return QString::number(row + 1); }

private:
    static constexpr int RecordCells = 20;
    std::array<RecordCell *, RecordCells> cells_{};
};

} // namespace

QAccessibleInterface *AccessibleFactory(const QString &className, QObject *object)
{
    // Not a Q_OBJECT: moc output would carry the build directory's depth
    // into the program's debug information, and so into its build id.
    if (auto *board = dynamic_cast<Board *>(object))
        return new BoardAccessible(board);
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget && widget->isWindow() && className == QLatin1String("QWidget"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (widget && widget->objectName() == QLatin1String("Frame2"))
        return new RecordsAccessible(widget);
    if (widget && className == QLatin1String("QFrame"))
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    return nullptr;
}

void ReadAfresh(QWidget *widget)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    if (auto *board = dynamic_cast<BoardAccessible *>(iface)) {
        iface = board->Renew(board->board()->FocusCell());
    } else {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
        iface = QAccessible::queryAccessibleInterface(widget);
    }
    QAccessibleEvent event(iface, QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}

} // namespace tarmelon
