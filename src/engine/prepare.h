// Step 0 of the installation: the application archive into memory, the
// temporary folder for backups and the program folder; and the removal of the
// backups and the temporary folder once the installation ends.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/portable/install_state.h"
#include "foundation/portable/setup_string.h"
#include "integration/install_step.h"

/// Opens resource 135, creates the temporary and the program folder and allocates the backup records.
int PrepareInstallation(const InstallStepContext& step);

/// Deletes the backup copies (keeping any that a failed rollback left as the only copy of a previous file)
/// and, with `removeTempFolder`, the temporary folder when it is then empty. True when all were deleted.
bool DeleteBackupsAndTempFolder(bool removeTempFolder);
/// The same for any records and backup folder (the installation's own, or those of a journal).
bool DeleteBackups(FileBackupRecord* records, int32_t count, const char* tempFolder, bool removeTempFolder);

/// Makes the next attempt keep its backups in a new folder, leaving the current one to the copies that a
/// failed rollback kept: a new generated folder, or one generated inside the "/temp" folder.
void StartFreshBackupFolder();
