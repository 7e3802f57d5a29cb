// The codec probe that the setup installs hidden as "__cdca.lx" and "__cdcb.lx".
// Korvane runs it before it offers compressed recording formats: the exit code is
// the number of audio compression codecs installed in Windows (0 when none can be
// counted).
#include <windows.h>

#include <mmreg.h>
#include <msacm.h>

#include "foundation/system_library.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystem();
    // The compression manager is not one of the libraries Windows always takes from its own folder.
    const HMODULE acm = LoadSystemLibrary("msacm32.dll");
    if (acm == nullptr) return 0;
    using MetricsFn = MMRESULT(WINAPI*)(HACMOBJ, UINT, LPVOID);
    const auto metrics = reinterpret_cast<MetricsFn>(reinterpret_cast<void*>(GetProcAddress(acm, "acmMetrics")));
    DWORD codecs = 0;
    if (metrics == nullptr || metrics(nullptr, ACM_METRIC_COUNT_CODECS, &codecs) != MMSYSERR_NOERROR) return 0;
    return static_cast<int>(codecs);
}
