// The version of Windows as the system reports it to this program (the
// manifest caps what later systems report at 6.2).
#pragma once

#include <windows.h>

/// Fills `info` with the system's version; false when the system does not say.
bool QuerySystemVersion(OSVERSIONINFOA& info);
