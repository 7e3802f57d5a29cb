// Which folder paths may be handed to the system for removal, and which paths
// stay inside a folder. A drive root, a share root and any path the system
// would complete from a current folder are never removed. Portable: no Windows
// headers here.
#pragma once

#include <cstddef>

/// The length of `path` without the separators ("\" or "/") that end it; 0 for null.
size_t LengthWithoutTrailingSeparators(const char* path);

/// True when `path`, trailing separators aside, names a folder below a drive root ("C:\x") or below a
/// share ("\\server\share\x"). False for roots, for drive-relative ("C:", "C:x") and relative paths,
/// for device paths ("\\?\", "\\.\") and for paths with a "." or ".." element, which may climb to a root.
bool IsRemovableFolderPath(const char* path);

/// True when `name`, joined to a folder, stays strictly below it: not empty, not rooted ("\x", "\\server", "C:\x"),
/// no drive, stream or device colon, and no element of dots and spaces alone, which the system reads as "." or
/// "..". Doubled and trailing separators are allowed: the system reads them as one.
bool StaysInsideFolder(const char* name);

/// True when `path` is `folder` (case aside) followed by a separator and one or more plain elements: none
/// empty, none of dots and spaces alone, no colon. Trailing separators of either are ignored. Meant for full
/// paths that the system has already normalised.
bool LiesStrictlyBelow(const char* path, const char* folder);

/// True when both name the same non-empty path, case and trailing separators aside.
bool IsSameFolderPath(const char* a, const char* b);
