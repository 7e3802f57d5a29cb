// Stands in for the default web browser: appends each argument it receives,
// one per line, to the file named by KVR_BROWSER_LOG.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* log = std::getenv("KVR_BROWSER_LOG");
    if (log == nullptr) return 1;
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    FILE* out = std::fopen(log, "ab");
    if (out == nullptr || arguments == nullptr) return 1;
    std::fprintf(out, "call %d\n", count - 1);
    for (int i = 1; i < count; ++i) {
        char text[2048];
        WideCharToMultiByte(CP_ACP, 0, arguments[i], -1, text, sizeof text, nullptr, nullptr);
        std::fprintf(out, "arg %s\n", text);
    }
    std::fclose(out);
    LocalFree(arguments);
    return 0;
}
