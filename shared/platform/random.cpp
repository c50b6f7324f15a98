#include "platform/random.h"

#include <chrono>
#include <cstdint>

namespace {

// splitmix64: a 64-bit counter run through a bijective mixer. Every state
// gives a different output, and the counter walks all 2^64 states before it
// repeats, so a redraw loop that keeps calling Rnd always meets new values.
constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15ULL;

std::uint64_t Mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

struct Generator {
    std::uint64_t state = 0;
    bool fixedClock = false;
    std::uint64_t clock = 0;

    Generator() { state = Mix(ClockValue()); }

    static std::uint64_t ClockValue() {
        const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
        const auto mono = std::chrono::steady_clock::now().time_since_epoch().count();
        return static_cast<std::uint64_t>(wall) ^ (static_cast<std::uint64_t>(mono) << 17);
    }
};

Generator& TheGenerator() {
    static Generator generator;
    return generator;
}

} // namespace

double Rnd() {
    Generator& g = TheGenerator();
    g.state += kGolden;
    // The top 53 bits give every double in [0, 1) on a 2^-53 grid.
    return static_cast<double>(Mix(g.state) >> 11) * 0x1.0p-53;
}

void Randomize() {
    Generator& g = TheGenerator();
    const std::uint64_t clock = g.fixedClock ? g.clock : Generator::ClockValue();
    // The clock is mixed into the current state rather than replacing it: two
    // reseeds within one clock tick still lead to different sequences.
    g.state = Mix(g.state ^ Mix(clock + kGolden));
}

void SeedRandom(std::uint64_t seed) {
    Generator& g = TheGenerator();
    g.state = Mix(seed);
    g.fixedClock = true;
    g.clock = seed;
}
