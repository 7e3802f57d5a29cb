// The per-user uninstall entry and the installer's one-time referrer record.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/portable/setup_string.h"

/// Writes the six values of the uninstall entry under `root`; 1 when all were written.
int RegisterUninstaller(HKEY root);
/// Adds what the Apps list shows besides the six (icon, location, size of `installedBytes`, date, version...);
/// a value that cannot be written is left out.
void RegisterAppsEntryDetails(HKEY root, uint64_t installedBytes);

/// Reads and deletes the installer's "Referrer" value and returns its three fields, scrambled (empty when absent).
void TakeInstallerReferrer(SetupString& first, SetupString& second, SetupString& third);
