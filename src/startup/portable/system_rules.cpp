#include "startup/portable/system_rules.h"

bool IsRefusedSystem(unsigned long platformId, unsigned long majorVersion) {
    return platformId == kPlatformWin32s || platformId == kPlatformWindows9x ||
           (platformId == kPlatformNt && majorVersion < 5);
}
