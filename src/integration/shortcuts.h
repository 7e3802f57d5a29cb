// The data folder and the shortcuts of the installed application.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/portable/setup_string.h"
#include "integration/install_step.h"

/// Creates the data folder (fails when it cannot), removes old shortcuts and creates the chosen ones.
int InstallShortcutsStep(const InstallStepContext& step);

/// Writes a shell link at `linkPath` to `targetPath`; failures are silent.
void CreateShortcutFile(const char* linkPath, const char* targetPath);
