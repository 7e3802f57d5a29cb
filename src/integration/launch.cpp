#include "integration/launch.h"

#include <windows.h>
#include <shellapi.h>

#include "foundation/globals.h"
#include "foundation/portable/product.h"
#include "foundation/registry.h"
#include "foundation/win_handles.h"
#include "integration/portable/browser_command.h"

namespace {

constexpr DWORD kPollIntervalMs = 50;

// A window of a program of the package that is still open, or null.
HWND FindProgramWindow() {
    for (const char* windowClass : product::kProgramWindowClasses)
        if (HWND window = FindWindowA(windowClass, nullptr)) return window;
    return nullptr;
}

// Waits up to `waitMs` for the process behind `window` to end: its file stays in use until then, a little after
// the window has gone. A window of this process, or of one that cannot be waited for, gets a short pause.
void WaitForProgramOf(HWND window, DWORD waitMs) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const win::KernelHandle process(
        processId != 0 && processId != GetCurrentProcessId() ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr);
    if (process)
        WaitForSingleObject(process.Get(), waitMs);
    else
        Sleep(waitMs < kPollIntervalMs ? waitMs : kPollIntervalMs);
}

bool Started(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

}  // namespace

int CloseRunningCopies(unsigned timeoutMs) {
    const DWORD start = GetTickCount();
    const UINT message = RegisterWindowMessageA(product::kCloseMessage);
    if (message == 0) return -1;
    PostMessageA(HWND_BROADCAST, message, 1, 0);
    // The broadcast does not tell when a program has gone: each window left is asked directly and waited for.
    for (HWND window = FindProgramWindow(); window != nullptr; window = FindProgramWindow()) {
        PostMessageA(window, message, 1, 0);
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return 0;
        WaitForProgramOf(window, timeoutMs - elapsed);
    }
    return 1;
}

int LaunchInstalledProgram(const char* fileName) {
    SetupString folder = ReadSetting(HKEY_CURRENT_USER, "InstallFolder", "");
    folder.Trim(kBlanks);
    if (folder.Empty()) return 0;
    SetupString path = WithTrailingSeparator(folder.c_str());
    path.Append(fileName != nullptr ? fileName : product::kMainExecutable);
    return Started(ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) ? 1 : 0;
}

void OpenWebPage(const char* text, bool vendorPage) {
    SetupString browser = ReadRegistryText(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", "", "");
    if (!browser.Empty()) browser = BrowserProgramFromCommand(browser);
    const SetupString address = vendorPage ? VendorPageAddress(text) : SetupString(text);
    HWND owner = g_setup.wizardWindow;
    if (!IsMailtoAddress(address.c_str()) && !browser.IsBlank(kNothingEntered)) {
        const SetupString argument = BrowserArgument(address.c_str());
        if (Started(ShellExecuteA(owner, nullptr, browser.c_str(), argument.c_str(), nullptr, SW_SHOWNORMAL))) return;
    }
    ShellExecuteA(owner, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
