// Folder operations shared by the probes and the installation steps.
#pragma once

#include "foundation/setup_string.h"

/// Creates every folder along `path`; the last component only when the path ends with a separator.
void CreateFolderChain(const char* path);
/// The text before the last separator of `path` (null: the setup's own executable path).
SetupString ParentFolderOf(const char* path);
