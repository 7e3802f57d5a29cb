// A planted library, copied under the names of system libraries: if any program
// loads it, it leaves the marker file "<KVR_PLANT_MARKER>-<its own file name>",
// so a test can tell which of the names was taken from the wrong folder.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char marker[MAX_PATH];
    char path[MAX_PATH];
    if (GetEnvironmentVariableA("KVR_PLANT_MARKER", marker, MAX_PATH) == 0) return TRUE;
    if (GetModuleFileNameA(self, path, MAX_PATH) == 0) return TRUE;
    const std::string own(path);
    const std::string name = own.substr(own.find_last_of("\\/") + 1);
    HANDLE file = CreateFileA((std::string(marker) + "-" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}
