// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The board: 64 cell pictures on the 64 px grid, the selection marker in
// front of them and the keyboard's focus cell with its frame. One Tab stop;
// the arrow keys, Home/End and Page Up/Down move the focus cell, and Space or
// Enter does what a click on it does. Screen readers see an 8 x 8 table.

#include "game/state.h"

#include <QWidget>

#include <array>

class QLabel;

namespace tarmelon {

class CellPicture;
class FocusFrame;

class Board : public QWidget {
public:
    explicit Board(QWidget *panel);

    // Where cell i's picture stands in the board panel (its Left and Top).
    QPoint CellPlace(int cell) const;
    void SetCellPicture(int cell, int value);
    void SetCellToolTip(int cell, const QString &text);
    // The marker's corner in the board panel.
    void SetMarkerPlace(QPoint place);
    void SetMarkerVisible(bool visible);

    int FocusCell() const { return focusCell_; }
    void SetFocusCell(int cell);
    // What the game holds in a cell, as a screen reader says it.
    QString CellName(int cell) const;
    // What the last click or key on the focus cell did, for a screen reader.
    QString CellNews(int cell) const { return cell == focusCell_ ? news_ : QString(); }
    // Has a screen reader read the focus cell again, with this news.
    void Tell(const QString &news);
    // Both counters, as a screen reader says them.
    static QString Counts();
    // The game's selected sphere's cell, or -1 with none selected.
    static int SelectedCell();
    // The cell's visible square on the screen: neighbours in front cover the
    // last 4 px across and 3 px down of each cell.
    QRect CellScreenRect(int cell) const;
    bool FocusFrameShown() const;

    // Takes the keyboard focus; `pointing` when the mouse asked for it, so
    // that no frame shows until a key is pressed.
    void TakeFocus(bool pointing);
    // A click on a cell picture: the focus cell follows it, then the game
    // takes the click.
    void CellClicked(int cell);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    friend class FocusFrame;
    QRect FocusFrameRect() const;
    void PlaceFrame();
    void AnnounceFocusCell();
    // A click or a key on a cell: the game takes it, and a screen reader
    // hears what it did.
    void Click(int cell);

    std::array<CellPicture *, CellCount> cells_{};
    QLabel *marker_ = nullptr;
    FocusFrame *frame_ = nullptr;
    int focusCell_ = 0;
    // The selected cell as screen readers were last told, -1 for none.
    int selected_ = -1;
    QString news_;
    // Set by a mouse click, cleared by the next key: a frame is for the
    // player who plays by keyboard.
    bool pointing_ = false;
};

} // namespace tarmelon
