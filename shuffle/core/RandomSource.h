// The program's random integers: a seedable generator of 15-bit values and GetRandomUintBig, which
// draws a uniform integer in 0..uMaxResult from it by rejection. OS-free.
#pragma once
#include <cstdint>
#include <string>

namespace swirlo {

// The largest range a caller may ask GetRandomUintBig for (a 30-bit draw).
constexpr std::uint32_t RAND_MAX_BIG = (1u << 30) - 1;

// A linear congruential generator yielding 0..32767, the classic C runtime recurrence. Ours rather
// than the runtime's, so that a seed replays the same sequence on every platform.
class RandomSource {
public:
    explicit RandomSource(std::uint32_t seed = 1) : m_state(seed) {}
    void Seed(std::uint32_t seed) { m_state = seed; }
    std::uint32_t Next15() {
        m_state = m_state * 214013u + 2531011u;
        return (m_state >> 16) & 0x7FFFu;
    }

private:
    std::uint32_t m_state;
};

// Uniform in 0..uMaxResult (at most RAND_MAX_BIG). Ranges below 1000 use one 15-bit value per
// draw, larger ones two. A draw above the largest unbiased value is repeated, at most ten times.
// With a message buffer, it is emptied and, when more than one draw was needed, describes them.
std::uint32_t GetRandomUintBig(RandomSource& rng, std::uint32_t uMaxResult,
                               std::wstring* message = nullptr);

}  // namespace swirlo
