// SPDX-License-Identifier: GPL-3.0-or-later
#include "elements.h"

#include <QFrame>
#include <QLabel>

namespace tarmelon {

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

QLabel *Picture(QWidget *parent, const QString &name, const QPixmap &pixmap, QPoint at)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(PictureBorder);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setPixmap(pixmap);
    label->setGeometry(QRect(at, pixmap.deviceIndependentSize().toSize()
                                     + QSize(2 * PictureBorder, 2 * PictureBorder)));
    return label;
}

QLabel *TextLabel(QWidget *parent, const QString &name, const QString &text, QRect geometry,
                  const QFont &font, Qt::Alignment alignment, bool bordered)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    // Names come from the records file and the player: shown as typed.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setGeometry(geometry);
    if (bordered) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
    }
    return label;
}

QFrame *PanelFrame(QWidget *parent, const QString &name, QRect geometry)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken); // etched
    frame->setGeometry(geometry);
    frame->setAutoFillBackground(true); // a panel covers what lies beneath it
    return frame;
}

} // namespace tarmelon
