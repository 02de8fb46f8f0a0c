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
    int reseeds = 0;
    int draws = 0;

    void Reseed() override { ++reseeds; SeededGenerator::Reseed(); }
    double Next() override
    {
        ++draws;
        if (script.empty())
            return SeededGenerator::Next();
        const double r = script.front();
        script.pop_front();
        return r;
    }
    // Queues the draws that place a sphere of `value` in `cell`.
    void Place(int cell, int value)
    {
        script.push_back((cell + 0.5) / CellCount);
        script.push_back((value - 1 + 0.5) / MaxValue);
    }
};

} // namespace tarmelon::test
