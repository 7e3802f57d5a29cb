// Libraries loaded at run time come from the system folder only, never from
// the folder that holds setup.exe (typically Downloads, where a planted DLL could wait).
#pragma once

#include <windows.h>

/// Restricts the default DLL search to the system folder where Windows supports it.
void RestrictDllSearchToSystem();
/// Loads a library by its full path in the system folder; null when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);
