// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Random draws for tests: a scripted sequence first, then a seeded stream.

#include "game/dealing.h"
#include "game/state.h"

#include <deque>

namespace tarmelon::test {

class ScriptedGenerator : public SeededGenerator {
public:
    explicit ScriptedGenerator(std::uint64_t seed = 1) : SeededGenerator(seed) {}
    std::deque<double> script;
    int reseeds = 0, draws = 0;

    void Reseed() override { ++reseeds, SeededGenerator::Reseed(); }
    double Next() override
    {
        ++draws;
        const double r = script.empty() ? SeededGenerator::Next() : script.front();
        if (!script.empty())
            script.pop_front();
        return r;
    }
    // Queues the draws that place a sphere of `value` in `cell`.
    void Place(int cell, int value) { script.insert(script.end(), {(cell + 0.5) / CellCount, (value - 0.5) / MaxValue}); }
};

} // namespace tarmelon::test
