// Folder checks shared by the pages and the installation: writability probes
// and the shell's special folders.
#pragma once

#include "foundation/setup_string.h"

/// True when a test file could be created in `folder` (missing levels are created; the last one removed if empty).
bool ProbeFolderWritable(const char* folder);
/// Bit set of MachineWriteBits: machine-wide registry key and program-files folder writable.
int ProbeMachineWriteAccess();
/// The special folder's path with a trailing separator, a fixed fallback, or empty.
SetupString SpecialFolderPath(int csidl);
