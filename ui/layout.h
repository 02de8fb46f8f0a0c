// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form1, element by element: each element's name (its object name, an array
// element's number after an underscore: "Image1_63", "Label3_4") and its
// rectangle in px in its container, at 96 dots per inch. The window is built
// from this table and from nothing else; pictures take their own size.

#include <QRect>
#include <QString>

namespace tarmelon::layout {

constexpr QSize Form1{533, 621}; // client area; fixed

constexpr QRect Toolbar1{0, 0, 533, 44};
constexpr QSize ToolbarButton{94, 38};

// Frame1, the board panel, and what lies in it.
constexpr QRect Frame1{0, 48, 529, 569};
constexpr QRect Label1[2] = {{8, 16, 57, 25}, {64, 16, 57, 25}}; // red, blue counter
constexpr QRect Label2{128, 16, 89, 25};                          // seconds
// Cell i's corner: 66 x 66 as made, its picture's size plus the border once
// it has one, so neighbours overlap by 2 px, then by 4 across and 3 down.
constexpr int Pitch = 64;
constexpr QPoint Image1Corner{8, 48};
constexpr QSize Image1Made{66, 66};
constexpr QRect Image1(int cell)
{
    return {Image1Corner + QPoint(Pitch * (cell % 8), Pitch * (cell / 8)), Image1Made};
}
constexpr QPoint Image3{8, 48}; // the marker, made at cell 0's place

// Frame2, the records panel: ten rows of a name and a time.
constexpr QRect Frame2{112, 48, 305, 193};
constexpr QRect Frame4{184, 8, 9, 177}; // the divider between the columns
constexpr QRect Label3(int row) { return {32, 24 + 16 * row, 145, 17}; }
constexpr QRect Label4(int row) { return {200, 24 + 16 * row, 65, 17}; }

// Frame3, the help panel.
constexpr QRect Frame3{8, 48, 513, 177};
constexpr QRect Label5{16, 16, 481, 153};

// The title screen, on Form1 beneath the panels.
constexpr QRect Label6{112, 160, 305, 17}; // authorship line
constexpr QRect Label7{128, 176, 281, 17}; // web-address line
constexpr QPoint Image4{160, 64};          // logo
constexpr QPoint Image2{8, 224};           // title picture

// An array element's object name: Name("Label3", 4) is "Label3_4".
inline QString Name(const char *array, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1StringView(array)).arg(index);
}

} // namespace tarmelon::layout
