// Writing the application's files into the program folder, with a backup of
// every file replaced, and the rollback that puts the folder back as it was.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/portable/install_state.h"
#include "foundation/portable/setup_string.h"
#include "integration/install_step.h"

/// Writes file index `fileIndex` (0..N; 0 is the second hidden copy of entry 0), backing up what it replaces.
int InstallFileStep(const InstallStepContext& step, int32_t fileIndex);

/// A path in `folder` with extension `extension` ("dta" when null) that does not exist yet, as a rule.
SetupString MakeUniqueFileName(const char* folder, const char* extension);

/// Undoes the file steps, deepest files first: replaced files are copied back, new files deleted and the
/// folders they leave empty removed. 0 nothing rolled back, 1 all done, -1 a previous file could not be copied back.
int RestorePreviousFiles(HWND page);
/// The rollback itself, over any records (the installation's own, or those read back from a journal).
int RestoreBackupRecords(FileBackupRecord* records, int32_t count);
