// A planted library: if any program loads it, it leaves the marker file named
// by KVR_PLANT_MARKER.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char marker[MAX_PATH];
        if (GetEnvironmentVariableA("KVR_PLANT_MARKER", marker, MAX_PATH) > 0) {
            HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        }
    }
    return TRUE;
}
