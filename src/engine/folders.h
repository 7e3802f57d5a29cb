// Folder operations shared by the probes and the installation steps.
#pragma once

#include "foundation/setup_string.h"

/// Creates every folder along `path`; the last component only when the path ends with a separator.
void CreateFolderChain(const char* path);
/// Removes the folder `path` when it is empty, never a root, a link or junction (removing one would take
/// its target or unlink it), or a path the system completes from a current folder ("D:", "D:x", "x").
bool RemoveEmptyFolder(const char* path);
/// The text before the last separator of `path` (null: the setup's own executable path).
SetupString ParentFolderOf(const char* path);
