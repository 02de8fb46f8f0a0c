// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's building blocks: its fonts, and labels, pictures and panels
// placed in pixels, so that the pixel layout holds at any DPI.

#include <QFont>
#include <QPixmap>
#include <QRect>

class QFrame;
class QLabel;
class QWidget;

namespace tarmelon {

// Pictures get a 2 px sunken border, labels a 1 px line, panels an etched one.
constexpr int PictureBorder = 2;

// 8.25 pt is 11 px and 9.75 pt bold is 13 px at 96 dots per inch.
QFont WindowFont();
QFont BoldFont();

// A picture shown unscaled in a sunken border, its corner at `at`.
QLabel *Picture(QWidget *parent, const QString &name, const QPixmap &pixmap, QPoint at);
// A label whose text is always plain text, never markup.
QLabel *TextLabel(QWidget *parent, const QString &name, const QString &text, QRect geometry,
                  const QFont &font, Qt::Alignment alignment, bool bordered);
// A panel that covers what lies beneath it.
QFrame *PanelFrame(QWidget *parent, const QString &name, QRect geometry);

} // namespace tarmelon
