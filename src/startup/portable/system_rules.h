// Which Windows the setup refuses, judged on the version information alone.
#pragma once

/// The platform ids of the version information (VER_PLATFORM_*).
enum SystemPlatform : unsigned long {
    kPlatformWin32s = 0,
    kPlatformWindows9x = 1,
    kPlatformNt = 2,
};

/// True for Windows 9x/Me, Win32s and NT before 5 (Windows 2000).
bool IsRefusedSystem(unsigned long platformId, unsigned long majorVersion);
