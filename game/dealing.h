// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>

namespace tarmelon {

// Source of the random draws, each 0 <= r < 1. The game re-seeds it from the
// time of day at every new game; tests put a fixed sequence in its place.
class Generator {
public:
    virtual ~Generator() = default;
    virtual void Reseed() = 0;
    virtual double Next() = 0;
};

// A 64-bit Mersenne twister seeded with `seed` on every Reseed, so the same
// seed always deals the same game.
class SeededGenerator : public Generator {
public:
    explicit SeededGenerator(std::uint64_t seed) : seed_(seed), engine_(seed) {}
    void Reseed() override { engine_.seed(seed_); }
    double Next() override;
    void SetSeed(std::uint64_t seed) { seed_ = seed; }

protected:
    std::uint64_t seed_;
    std::mt19937_64 engine_;
};

// The game's own: seeded from the time of day, to the millisecond.
class TimeOfDayGenerator : public SeededGenerator {
public:
    TimeOfDayGenerator() : SeededGenerator(0) {}
    void Reseed() override;
};

Generator &Rng();
// nullptr restores the time-of-day generator.
void SetGenerator(Generator *generator);

// Discards any game, deals InitialSpheres random spheres and starts the clock.
void NewGame();

// After a move: adds SpawnCount random spheres (none when ClickedCell is
// NoSpawnCell), stopping at a full board; an empty board is a victory.
void SpawnSpheres();

} // namespace tarmelon
