#include "integration/portable/referrer_scramble.h"

#include "foundation/portable/product.h"

unsigned char ReferrerKeyAt(std::size_t position) {
    using namespace product::referrer;
    constexpr std::size_t kFirstRun = kBound - kStart;  // keys kStart .. kBound-1
    constexpr std::size_t kCycle = kBound - kRestart;   // then kRestart .. kBound-1 again and again
    if (position < kFirstRun) return static_cast<unsigned char>(kStart + position);
    return static_cast<unsigned char>(kRestart + (position - kFirstRun) % kCycle);
}

std::size_t ScrambleReferrerBytes(const char* text, std::size_t length, char* out) {
    std::size_t written = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char scrambled = static_cast<char>(static_cast<unsigned char>(text[i]) ^ ReferrerKeyAt(written));
        if (scrambled != 0) out[written++] = scrambled;
    }
    return written;
}
