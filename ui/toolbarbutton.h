// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QToolButton>

namespace tarmelon {

// A toolbar button drawn as the game's toolbar shows it: the picture at the
// left, the whole caption to its right. The style's own layout pads the
// picture and elides a caption that is a little too wide for the button.
// It is a Tab stop that Space or Enter presses, and a click does not take
// the focus from the board.
class ToolbarButton : public QToolButton {
public:
    ToolbarButton(const QString &name, const QPixmap &picture, const QString &caption,
                  QWidget *parent);

    // While `clicked` is emitted: whether the mouse pressed it, not a key.
    bool Pointed() const { return pointed_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool pointed_ = false;
};

} // namespace tarmelon
