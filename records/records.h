// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recordfile.h"

#include <array>

namespace tarmelon {

// Slots 1..10 are the ten places, best first; slot 11 takes the entry an
// insertion pushes out of place 10; slot 12 is never used.
constexpr int RecordSlots = 12;
extern std::array<RecordEntry, RecordSlots> RecordTable;
RecordEntry &Slot(int n); // n = 1..12

// The records file in the data directory.
QString RecordsPath();

// Stops the clock, shows the records panel, (re)loads the table, enters the
// time of a game just won when it qualifies, and shows the table.
void ShowRecords();

} // namespace tarmelon
