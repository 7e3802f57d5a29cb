#include "integration/portable/referrer_scramble.h"

#include "foundation/portable/product.h"

unsigned char ReferrerKeyAt(std::size_t position) {
    using namespace product::referrer;
    constexpr std::size_t kFirstRun = kBound - kStart;  // keys kStart .. kBound-1
    constexpr std::size_t kCycle = kBound - kRestart;   // then kRestart .. kBound-1 again and again
    if (position < kFirstRun) return static_cast<unsigned char>(kStart + position);
    return static_cast<unsigned char>(kRestart + (position - kFirstRun) % kCycle);
}

std::string ScrambleReferrerText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const char scrambled = static_cast<char>(static_cast<unsigned char>(c) ^ ReferrerKeyAt(out.size()));
        if (scrambled != 0) out.push_back(scrambled);
    }
    return out;
}

std::string DescrambleReferrerText(std::string_view stored) {
    std::string out;
    out.reserve(stored.size());
    for (char c : stored) out.push_back(static_cast<char>(static_cast<unsigned char>(c) ^ ReferrerKeyAt(out.size())));
    return out;
}
