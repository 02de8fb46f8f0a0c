// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace tarmelon {

// What a screen reader sees of the board: an 8 x 8 table whose cells say
// what they hold. Installed once, before the window is built.
QAccessibleInterface *BoardAccessibleFactory(const QString &className, QObject *object);

} // namespace tarmelon
