// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tarmelon {

// The help panel's text: four paragraphs, CR LF between them.
extern const QString HelpText;

} // namespace tarmelon
