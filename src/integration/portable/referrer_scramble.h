// Rolling XOR that keeps the referrer fields "rf1".."rf3" unreadable in the
// registry. Shared by the setup (which scrambles) and the application (which
// reads them back). Portable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

/// Key byte for the byte at `position` of a field: starts at product::referrer::kStart,
/// grows by one per byte and restarts at kRestart when it reaches kBound.
unsigned char ReferrerKeyAt(std::size_t position);

/// Scrambles one field for storage as a registry string. A byte that would scramble
/// to zero (only control characters can) cannot be stored: it is left out, and the
/// key does not advance for it, so the rest of the field still reads back intact.
/// Writes into `out`, which has room for `length` bytes, and returns how many it wrote.
std::size_t ScrambleReferrerBytes(const char* text, std::size_t length, char* out);

/// The same as a std::string. Inline, like the next one: the setup uses neither and then links none of
/// std::string.
inline std::string ScrambleReferrerText(std::string_view text) {
    std::string out(text.size(), '\0');
    out.resize(ScrambleReferrerBytes(text.data(), text.size(), out.data()));
    return out;
}

/// Restores a field written by ScrambleReferrerText.
inline std::string DescrambleReferrerText(std::string_view stored) {
    std::string out;
    out.reserve(stored.size());
    for (char c : stored) out.push_back(static_cast<char>(static_cast<unsigned char>(c) ^ ReferrerKeyAt(out.size())));
    return out;
}
