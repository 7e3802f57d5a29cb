#include "integration/contained_folders.h"

#include <windows.h>

#include <shlobj.h>

#include "foundation/portable/folder_removal_rules.h"

namespace {

// A path as the system completes it ("." and ".." resolved, one separator kind); empty when it cannot.
struct FullPath {
    explicit FullPath(const char* path) {
        const DWORD length = path != nullptr && path[0] != '\0' ? GetFullPathNameA(path, MAX_PATH, text, nullptr) : 0;
        if (length == 0 || length >= MAX_PATH) text[0] = '\0';
    }
    char text[MAX_PATH] = "";
};

FullPath ShellFolder(int csidl) {
    char path[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) path[0] = '\0';
    return FullPath(path);
}

}  // namespace

bool IsSameFullPath(const char* a, const char* b) { return IsSameFolderPath(FullPath(a).text, FullPath(b).text); }

bool IsOwnStartMenuFolder(const char* folder) {
    const FullPath path(folder);
    if (!LiesStrictlyBelow(path.text, ShellFolder(CSIDL_STARTMENU).text)) return false;
    if (IsSameFolderPath(path.text, ShellFolder(CSIDL_PROGRAMS).text)) return false;
    const int startupFolders[] = {CSIDL_STARTUP, CSIDL_ALTSTARTUP};
    for (int csidl : startupFolders) {
        const FullPath startup = ShellFolder(csidl);
        if (IsSameFolderPath(path.text, startup.text) || LiesStrictlyBelow(path.text, startup.text)) return false;
    }
    return true;
}
