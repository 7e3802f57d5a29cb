// Folder checks shared by the pages and the installation: validation of typed
// folders, writability probes and the shell's special folders.
#pragma once

#include "foundation/portable/setup_string.h"
#include "wizard/portable/folder_rules.h"

/// Checks a typed folder and tells the user why it is refused: 1 accepted, 0 refused,
/// 2 not writable and the user asked for the suggested folder instead.
int ValidateFolderPath(const char* text, const char* pathPhrase, const char* folderPhrase);
/// GetDriveTypeA of the path's drive root; 0 when the path does not begin with a drive name and a colon.
int GetDriveTypeOfPath(const char* path);
/// True when a test file could be created in `folder` (missing levels are created; the last one removed if empty).
bool ProbeFolderWritable(const char* folder);
/// Bit set of MachineWriteBits: machine-wide registry key and program-files folder writable.
int ProbeMachineWriteAccess();
/// The special folder's path with a trailing separator, a fixed fallback, or empty.
SetupString SpecialFolderPath(int csidl);
