// The license agreement as the setup carries it: every byte combined with one
// key byte by exclusive-or, ended by a zero byte, with "#YR#" where the current
// year belongs. Shared by the setup and the build tool that scrambles the text.
// Portable: no Windows headers here.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/portable/setup_string.h"

namespace license {

/// The key byte; the plain text must not contain it (nor a zero byte).
constexpr uint8_t kKey = 0xA7;
/// Stands for the current year in the plain text, in any letter case.
constexpr const char kYearPlaceholder[] = "#YR#";

}  // namespace license

/// The plain text of `bytes`: each byte up to the first zero byte, or up to
/// `size` when there is none, combined with `key`.
SetupString UnscrambleText(const uint8_t* bytes, uint32_t size, uint8_t key);

/// The stored form of `plain` (each byte combined with `key`, then a zero byte).
/// False, with `scrambled` left as it was, when `plain` holds a zero byte or the key byte,
/// which would end the stored text early. Inline: only the build tool scrambles, and the setup then links
/// none of the vector's growth.
inline bool ScrambleText(const std::vector<uint8_t>& plain, uint8_t key, std::vector<uint8_t>& scrambled) {
    std::vector<uint8_t> stored;
    stored.reserve(plain.size() + 1);
    for (const uint8_t byte : plain) {
        if (byte == 0 || byte == key) return false;
        stored.push_back(static_cast<uint8_t>(byte ^ key));
    }
    stored.push_back(0);
    scrambled.swap(stored);
    return true;
}

/// `text` with every "#YR#", compared without regard to case, replaced by `year` in decimal.
SetupString InsertYear(const SetupString& text, unsigned year);
