// Folder operations shared by the probes and the installation steps.
#pragma once

#include "foundation/portable/setup_string.h"

/// True when a file or folder exists at `path`.
bool PathExists(const char* path);
/// Creates every folder along `path`; the last component only when the path ends with a separator.
void CreateFolderChain(const char* path);
/// Removes the folder `path` if it is empty. Never a drive or share root, nor a path the system completes
/// from a current folder ("D:", "D:x", "x"), nor a link or junction: removing one unlinks it, or on some
/// systems removes the folder it points at.
bool RemoveEmptyFolder(const char* path);
/// The text before the last separator of `path` (null: the setup's own executable path).
SetupString ParentFolderOf(const char* path);
