#include "foundation/folders.h"

#include <windows.h>

bool PathExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

void CreateFolderChain(const char* path) {
    SetupString copy(path);
    char* text = copy.Buffer();
    const uint32_t length = copy.Length();
    for (uint32_t i = 0; i < length; ++i) {
        if (text[i] != '\\' && text[i] != '/') continue;
        const char separator = text[i];
        text[i] = '\0';
        CreateDirectoryA(text, nullptr);  // existing levels and bare drives fail harmlessly
        text[i] = separator;
    }
}

SetupString ParentFolderOf(const char* path) {
    SetupString copy;
    if (path != nullptr) {
        copy.Assign(path);
    } else {
        char own[MAX_PATH] = "";
        if (GetModuleFileNameA(nullptr, own, MAX_PATH) < MAX_PATH) copy.Assign(own);
    }
    if (copy.Length() > 259) copy = copy.Left(259);
    const int slash = copy.ReverseFind('/');
    const int backslash = copy.ReverseFind('\\');
    const int last = slash > backslash ? slash : backslash;
    return last < 0 ? SetupString() : copy.Left(last);
}
