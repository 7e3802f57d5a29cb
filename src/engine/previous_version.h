// Version 1.2.2 and older must be uninstalled before this version is installed:
// finding such an installation, and running its own uninstaller, which the
// setup carries in resource 139.
#pragma once

#include <windows.h>

#include "foundation/portable/setup_string.h"

/// Error codes of RemovePreviousVersion besides the system's own.
enum PreviousVersionError : int {
    kRemovalOk = 0,
    kRemovalNoProcess = 6,       ///< started, but no process handle came back
    kRemovalNoResource = 9,      ///< resource 139 is missing
    kRemovalBrokenArchive = 13,  ///< archive 139 is broken or does not hold exactly one file
};

/// True when an installed version must be removed first. `installed` (optional)
/// receives "ver" as read, or "0" when it could not be read.
bool DetectPreviousVersion(SetupString* installed);

/// Runs the old version's uninstaller from a new folder of its own in the
/// temporary folder (removed again afterwards) and waits for it at most 20 s;
/// true when it ran. Otherwise false with `errorCode` set (a PreviousVersionError
/// or a system error code); broken packages and write failures have been
/// reported to the user.
bool RemovePreviousVersion(int& errorCode);
