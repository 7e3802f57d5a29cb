#include "foundation/system_library.h"

#include "foundation/setup_string.h"

namespace {

constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

}  // namespace

void RestrictDllSearchToSystem() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) return;
    // Present from Windows 8 and on 7/Vista with the security update; looked up so older systems still start.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) setDefault(kSearchSystem32);
    // From XP SP1: takes the current folder out of the search order.
    using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
    auto setDirectory =
        reinterpret_cast<SetDllDirectoryFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setDirectory != nullptr) setDirectory("");
}

HMODULE LoadSystemLibrary(const char* name) {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    SetupString path = WithTrailingSeparator(folder);
    path.Append(name);
    return LoadLibraryA(path.c_str());
}
