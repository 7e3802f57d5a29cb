// The per-user uninstall entry and the installer's one-time referrer record.
#pragma once

#include <windows.h>

#include "foundation/portable/setup_string.h"

/// Writes the six values of the uninstall entry under `root`; 1 when all were written.
int RegisterUninstaller(HKEY root);

/// Reads and deletes the installer's "Referrer" value and returns its three fields, scrambled (empty when absent).
void TakeInstallerReferrer(SetupString& first, SetupString& second, SetupString& third);
