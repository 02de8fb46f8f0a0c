// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

namespace tarmelon {

// What the whole application needs before the window: its names and Qt's
// own texts in Russian.
void SetUpApplication(QCoreApplication &app);

} // namespace tarmelon
