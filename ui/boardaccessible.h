// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAccessibleInterface;
class QObject;
class QString;
class QWidget;

namespace tarmelon {

// What a screen reader sees of the window: the window itself as a window, its
// panels as groupings (not as frames, which Orca would take for windows that
// are never active, and whose every event it would drop), the records as a
// table of ten rows of a name and a time, and the board as an 8 x 8 table
// whose cells say what they hold. Installed before the window is built.
QAccessibleInterface *AccessibleFactory(const QString &className, QObject *object);

// Has a screen reader read `widget` again, or the board's focus cell, with
// what its description now says. Qt 6.4 sends no announcements and Orca 43
// reads no changed name or description that Qt 6.4 reports; but it reads an
// object that gets the focus, and a fresh one it has not met.
void ReadAfresh(QWidget *widget);

} // namespace tarmelon
