// Libraries loaded at run time come from the system folder only, never from
// the folder that holds setup.exe (typically Downloads, where a planted DLL could
// wait). setup.exe imports at start only kernel32, advapi32 and msvcrt, whose
// own imports never leave the system folder; everything else is loaded here or
// at its first call, after the search order has been fixed.
#pragma once

#include <windows.h>

enum class DllSearch {
    Best,         ///< the safest search the system offers
    AsOldSystem,  ///< as on a system without SetDefaultDllDirectories and SetDllDirectory (tests of that path)
};

/// Restricts the default DLL search to the system folder where Windows supports it, then loads by full path
/// the system libraries that other libraries look up by name, so that none of them can come from the
/// setup's folder on a system where the search cannot be restricted.
void RestrictDllSearchToSystem(DllSearch search = DllSearch::Best);
/// Loads a library by its full path in the system folder, its own imports looked up beside it first; null
/// when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);
/// The Common Controls: version 6 through the manifest's activation context where the system redirects
/// comctl32.dll there (side-by-side assemblies), else the system folder's copy by full path.
HMODULE LoadCommonControls();
/// Registers the Common Controls' classes that the pages use (the progress bar among them): with the version 6
/// manifest, Windows XP creates no progress bar from a dialog template before this call.
void RegisterCommonControlClasses(HMODULE commonControls);
/// Function `name` of `library` as a `Function` pointer; null when the library or the function is missing.
template <typename Function>
Function LibraryFunction(HMODULE library, const char* name) {
    return library == nullptr ? nullptr
                              : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}
