// Compiled into setup.exe and into the uninstallers of the package alike.
#include <windows.h>

#include <cstring>

#include "foundation/folders.h"
#include "foundation/portable/folder_removal_rules.h"

bool RemoveEmptyFolder(const char* path) {
    if (!IsRemovableFolderPath(path)) return false;
    char folder[MAX_PATH];
    const size_t length = LengthWithoutTrailingSeparators(path);
    if (length >= sizeof folder) return false;
    std::memcpy(folder, path, length);
    folder[length] = '\0';
    // Asked without a trailing separator: with one, a link answers with its target's attributes.
    const DWORD attributes = GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return false;
    return RemoveDirectoryA(folder) != FALSE;
}
