#include "shuffle/core/RandomSource.h"

#include "foundation/ErrorText.h"

namespace swirlo {

std::uint32_t GetRandomUintBig(RandomSource& rng, std::uint32_t uMaxResult, std::wstring* message) {
    if (message) message->clear();
    if (uMaxResult == 0) return 0;
    const std::uint32_t m = uMaxResult + 1;
    const bool bSmall = uMaxResult < 1000;
    const std::uint32_t uMaxOkRand =
        bSmall ? (32768u / m) * m - 1 : static_cast<std::uint32_t>(((1ull << 30) / m) * m - 1);
    auto draw = [&]() -> std::uint32_t {
        if (bSmall) return rng.Next15();
        std::uint32_t first = rng.Next15();
        return first * 32768u + rng.Next15();
    };
    std::uint32_t uRand = draw();
    unsigned nDraws = 1;
    while (uRand > uMaxOkRand && nDraws < 11) {
        uRand = draw();
        ++nDraws;
    }
    if (nDraws > 1 && message)
        *message = FormatW(L"GetRandomUintBig took %u loops to get uRand %u  uMaxOkRand = %u  uMaxResult = %u",
                           nDraws, uRand, uMaxOkRand, uMaxResult);
    return uRand % m;
}

}  // namespace swirlo
