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
std::string ScrambleReferrerText(std::string_view text);

/// Restores a field written by ScrambleReferrerText.
std::string DescrambleReferrerText(std::string_view stored);
