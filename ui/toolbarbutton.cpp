// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolbarbutton.h"

#include "layout.h"
#include "pictures.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace tarmelon {

ToolbarButton::ToolbarButton(const QString &name, const QPixmap &picture, const QString &caption,
                             QWidget *parent)
    : QToolButton(parent)
{
    setObjectName(name);
    setIcon(QIcon(picture));
    setText(caption);
    setIconSize(ToolbarPictureSize);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setAutoRaise(true);
    setFixedSize(layout::ToolbarButton);
    setFocusPolicy(Qt::TabFocus);
}

void ToolbarButton::paintEvent(QPaintEvent *)
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
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

void ToolbarButton::keyPressEvent(QKeyEvent *event)
{
    // Space is the button's own; Enter presses it too, as on a dialog button.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        click();
        return;
    }
    QToolButton::keyPressEvent(event);
}

void ToolbarButton::mouseReleaseEvent(QMouseEvent *event)
{
    pointed_ = true;
    QToolButton::mouseReleaseEvent(event);
    pointed_ = false;
}

} // namespace tarmelon
