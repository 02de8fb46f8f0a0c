#pragma once

class QApplication;

namespace tarmelon {

// What the whole application needs before the window: its names and the
// Russian texts of Qt's own dialog buttons.
void SetUpApplication(QApplication &app);

} // namespace tarmelon
