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

// The default value of HKCR\http\shell\open\command, or empty.
SetupString DefaultBrowserCommand() {
    SetupString command;
    win::RegKey key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return command;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), nullptr, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return command;
    SetupString buffer;
    buffer.SetLength(static_cast<int>(size));
    DWORD got = size;
    if (RegQueryValueExA(key.Get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.Buffer()), &got) !=
            ERROR_SUCCESS ||
        got != size)
        return command;
    buffer.Buffer()[size] = '\0';
    command.Assign(buffer.c_str());
    return command;
}

bool Started(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

}  // namespace

int CloseRunningCopies(unsigned timeoutMs) {
    const DWORD start = GetTickCount();
    const UINT message = RegisterWindowMessageA(product::kCloseMessage);
    if (message == 0) return -1;
    PostMessageA(HWND_BROADCAST, message, 1, 0);
    HWND window = FindWindowA(product::kMainWindowClass, nullptr);
    while (window != nullptr) {
        PostMessageA(window, message, 1, 0);
        if (timeoutMs == 0) return 0;
        Sleep(kPollIntervalMs);
        if (GetTickCount() - start >= timeoutMs) return 0;
        window = FindWindowA(product::kMainWindowClass, nullptr);
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
    SetupString browser = DefaultBrowserCommand();
    if (!browser.Empty()) browser = BrowserProgramFromCommand(browser);
    const SetupString address = vendorPage ? VendorPageAddress(text) : SetupString(text);
    HWND owner = g_setup.wizardWindow;
    if (!IsMailtoAddress(address.c_str()) && !browser.IsBlank(kNothingEntered)) {
        const SetupString argument = BrowserArgument(address.c_str());
        if (Started(ShellExecuteA(owner, nullptr, browser.c_str(), argument.c_str(), nullptr, SW_SHOWNORMAL))) return;
    }
    ShellExecuteA(owner, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
