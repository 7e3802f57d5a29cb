// Which installed version the Welcome page removes before this one is
// installed. Portable: no Windows headers here.
#pragma once

#include "foundation/portable/setup_string.h"

/// The newest version that has to be uninstalled first; older ones too.
constexpr const char kRemovableVersion[] = "1.2.2";

/// Whether the "ver" text read with `readStatus` (1 read, 0 absent, -1 failed read)
/// names a version to remove. Only digits and dots of `installed` count; a failed
/// read counts like a value that was read.
bool IsRemovableVersion(const char* installed, int readStatus);
