#pragma once
// One uniform random generator for the whole program; tests can seed it.

#include <cstdint>

// One uniform generator in [0, 1) for the whole program.
double Rnd();
// Reseeds the generator from the clock.
void Randomize();
// Tests: fixes the seed and replaces the clock that Randomize reads by a
// fixed value, so every draw that follows is repeatable.
void SeedRandom(std::uint64_t seed);
