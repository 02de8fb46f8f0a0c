// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program-wide game state, shared by every procedure of the game core and
// read by the records. All zero when the program starts.

#include <QString>

#include <array>
#include <cstdint>

namespace tarmelon {

constexpr int BoardSide = 8;
constexpr int CellCount = BoardSide * BoardSide;

// A cell value: 0 empty, 1..9 red of that size, 10..18 blue of size value - 9.
constexpr int EmptyValue = 0;
constexpr int RedBase = 0;
constexpr int BlueBase = 9;
constexpr int MaxSize = 9;
constexpr int MaxValue = BlueBase + MaxSize;

constexpr bool IsRed(int value) { return value >= 1 && value <= BlueBase; }
constexpr bool IsBlue(int value) { return value > BlueBase; }
// The size of a sphere's value, 1..9.
constexpr int SphereSize(int value) { return IsBlue(value) ? value - BlueBase : value; }

// SelectState
constexpr int NothingSelected = 0;
constexpr int OneSelected = 1;
constexpr int GameWon = 5;

// ClickedCell after a move in which both spheres vanished: add no spheres.
constexpr int NoSpawnCell = 99;

constexpr int ClockInterval = 1000;   // ms
constexpr int MaxGameSeconds = 5000;  // a longer game is replaced by a new one

struct GameState {
    std::array<std::uint8_t, CellCount> Board{};
    std::uint8_t RedCount = 0;
    std::uint8_t BlueCount = 0;
    std::uint8_t SelectState = 0;
    std::uint8_t ClickedCell = 0;
    std::uint8_t ClickedValue = 0;
    std::uint8_t FirstCell = 0;
    std::uint8_t FirstValue = 0;
    std::int16_t ClickedBase = 0;
    std::int16_t OtherBase = 0;
    std::uint8_t SpawnCount = 0;
    std::int16_t ElapsedSeconds = 0;
};

extern GameState Game;

// Start-up settings, fixed once by Main.
extern std::uint8_t InitialSpheres; // spheres a new game deals
extern QString DataDir;             // directory of the records file

} // namespace tarmelon
