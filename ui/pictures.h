// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every picture the window shows, built into the program as resources and
// loaded once. On a screen with a device pixel ratio above 1 the "@2x"
// renderings are used, at the same logical size.

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace tarmelon {

constexpr QSize ValuePictureSize{64, 63};
constexpr QSize MarkerSize{64, 63};
constexpr QSize ToolbarPictureSize{32, 32};

// A resource picture, e.g. "marker" for :/assets/marker.png (or its @2x).
QPixmap LoadPicture(const QString &name);

// The never-shown holder of the 19 value pictures: picture v is the picture
// of cell value v. Created on first use; cells share its pixmaps.
const QPixmap &ValuePicture(int value);

QIcon ProgramIcon();

} // namespace tarmelon
