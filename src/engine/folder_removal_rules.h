// Which folder paths may be handed to the system for removal. A drive root,
// a share root and any path the system would complete from a current folder
// are never removed. Portable: no Windows headers here.
#pragma once

#include <cstddef>

/// The length of `path` without the separators ("\" or "/") that end it; 0 for null.
size_t LengthWithoutTrailingSeparators(const char* path);

/// True when `path`, trailing separators aside, names a folder below a drive root ("C:\x") or below a
/// share ("\\server\share\x"). False for roots, for drive-relative ("C:", "C:x") and relative paths,
/// for device paths ("\\?\", "\\.\") and for paths with a "." or ".." element, which may climb to a root.
bool IsRemovableFolderPath(const char* path);
