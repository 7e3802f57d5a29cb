#include "foundation/message_box.h"

#include "foundation/globals.h"
#include "foundation/portable/placement.h"
#include "foundation/portable/product.h"
#include "foundation/run_log.h"
#include "foundation/win_handles.h"

namespace {

// At most one centring hook exists at a time.
win::Hook g_hook;

// Moves the first dialog-class window that has a parent over that parent, then unhooks.
// Only activation counts: the box has its size and its own placement by then, which
// an earlier notification (creation) would still be overridden by.
LRESULT CALLBACK CentringHook(int code, WPARAM wParam, LPARAM) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code != HCBT_ACTIVATE || window == nullptr) return 0;
    HWND parent = GetParent(window);
    char className[260];
    if (parent == nullptr || GetClassNameA(window, className, sizeof className) == 0 ||
        lstrcmpiA(className, "#32770") != 0)
        return 0;
    CenterWindow(window, parent);
    g_hook.Reset();
    return 0;
}

}  // namespace

int SetupMessageBox(const char* text, UINT style, HWND owner, const char* caption) {
    if (const int unattended = RecordMessage(text, style)) return unattended;
    if (owner == nullptr) owner = g_setup.wizardWindow;
    if (caption == nullptr) caption = product::kSetupCaption;
    if (!g_hook) g_hook.Reset(SetWindowsHookExA(WH_CBT, CentringHook, nullptr, GetCurrentThreadId()));
    const int result = MessageBoxA(owner, text, caption, style);
    g_hook.Reset();
    RecordAnswer(result);
    return result;
}

BOOL CenterWindow(HWND window, HWND reference) {
    if (window == nullptr) window = g_setup.wizardWindow;
    RECT area;
    if (reference == nullptr || !GetWindowRect(reference, &area)) {
        if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) area = RECT{0, 0, 800, 640};
    }
    RECT own;
    if (!GetWindowRect(window, &own)) return FALSE;
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    const ScreenPoint at = CenteredPosition({area.left, area.top, area.right, area.bottom}, width, height);
    return MoveWindow(window, at.x, at.y, width, height, TRUE);
}

WaitCursor::WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}

WaitCursor::~WaitCursor() { SetCursor(previous_); }
