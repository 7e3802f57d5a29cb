#include "foundation/system_library.h"

#include <commctrl.h>

#include "foundation/portable/setup_string.h"

namespace {

constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
constexpr ULONG kDllRedirectionSection = 2;    // ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION

// Looked up by name by the system's own libraries (the Common Controls, the shell, the rich-edit control) on
// systems where that search still starts in the program's folder, then the libraries that the setup links for
// loading at their first call: found here, they are never searched for.
const char* const kPreloadedLibraries[] = {"version.dll", "uxtheme.dll", "dwmapi.dll", "propsys.dll", "shlwapi.dll",
                                           "user32.dll",  "gdi32.dll",   "shell32.dll", "ole32.dll"};

template <typename Function>
Function KernelFunction(const char* name) {
    return LibraryFunction<Function>(GetModuleHandleA("kernel32.dll"), name);
}

// True when the process's activation context sends loads of `name` to a side-by-side assembly.
bool ActivationContextRedirects(const char* name) {
    // Same layout as ACTCTX_SECTION_KEYED_DATA; only its size has to be set.
    struct KeyedData {
        ULONG cbSize;
        ULONG ulDataFormatVersion;
        PVOID lpData;
        ULONG ulLength;
        PVOID lpSectionGlobalData;
        ULONG ulSectionGlobalDataLength;
        PVOID lpSectionBase;
        ULONG ulSectionTotalLength;
        HANDLE hActCtx;
        ULONG ulAssemblyRosterIndex;
        ULONG ulFlags;
        BYTE reserved[64];
    };
    using FindFn = BOOL(WINAPI*)(DWORD, const GUID*, ULONG, LPCSTR, KeyedData*);
    const auto find = KernelFunction<FindFn>("FindActCtxSectionStringA");  // from Windows XP
    if (find == nullptr) return false;
    KeyedData data = {};
    data.cbSize = sizeof data - sizeof data.reserved;
    return find(0, nullptr, kDllRedirectionSection, name, &data) != FALSE;
}

}  // namespace

void RestrictDllSearchToSystem(DllSearch search) {
    if (search == DllSearch::Best) {
        // Present from Windows 8 and on 7/Vista with the security update; looked up so older systems still start.
        using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
        if (const auto setDefault = KernelFunction<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories"))
            setDefault(kSearchSystem32);
        // From XP SP1: takes the current folder out of the search order.
        using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
        if (const auto setDirectory = KernelFunction<SetDllDirectoryFn>("SetDllDirectoryA")) setDirectory("");
    }
    // Loaded for the life of the process: a later load by name finds them already there.
    for (const char* name : kPreloadedLibraries) LoadSystemLibrary(name);
}

HMODULE LoadSystemLibrary(const char* name) {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    SetupString path = WithTrailingSeparator(folder);
    path.Append(name);
    // The library's own imports are then looked up in the system folder, not in the setup's.
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadCommonControls() {
    // A load by full path would bypass the activation context and give the old controls.
    if (ActivationContextRedirects("comctl32.dll")) return LoadLibraryA("comctl32.dll");
    return LoadSystemLibrary("comctl32.dll");
}

void RegisterCommonControlClasses(HMODULE commonControls) {
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = LibraryFunction<InitFn>(commonControls, "InitCommonControlsEx");
    if (init == nullptr) return;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    init(&classes);
}
