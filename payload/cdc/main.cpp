// The codec probe that the setup installs hidden as "__cdca.lx" and "__cdcb.lx".
// Korvane runs it before it offers compressed recording formats: the exit code is
// the number of audio compression codecs installed in Windows (0 when none can be
// counted).
#include <windows.h>

#include <mmreg.h>
#include <msacm.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    DWORD codecs = 0;
    if (acmMetrics(nullptr, ACM_METRIC_COUNT_CODECS, &codecs) != MMSYSERR_NOERROR) return 0;
    return static_cast<int>(codecs);
}
