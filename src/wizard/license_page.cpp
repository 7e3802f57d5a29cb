// The License page: the agreement in a read-only rich edit, and Next only
// after "I accept the agreement" is chosen.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "foundation/resource_data.h"
#include "resources/resource.h"
#include "wizard/page_support.h"
#include "wizard/pages.h"
#include "wizard/portable/license_text.h"
#include "wizard/wizard.h"

namespace {

// The text view's own window procedure while LicenseViewerProc filters its input.
// The page's own state: the rich edit's procedure before the viewer's subclassing.
struct LicensePageState {
    WNDPROC savedViewerProc = nullptr;
};
LicensePageState g_license;

bool IsNavigationKey(WPARAM key) {
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return true;
    default:
        return false;
    }
}

// The control's answer to the dialog, without its claim on Tab and Esc: the keyboard can leave the view and
// reach Cancel. `pending` is the message the dialog is about to hand on, or null.
LRESULT WithoutDialogKeys(LRESULT code, const MSG* pending) {
    if (pending != nullptr && pending->message == WM_KEYDOWN &&
        (pending->wParam == VK_TAB || pending->wParam == VK_ESCAPE))
        code &= ~(DLGC_WANTTAB | DLGC_WANTALLKEYS);
    return code;
}

// Lets the agreement be read and scrolled, but not selected, edited or copied.
LRESULT CALLBACK LicenseViewerProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC saved = g_license.savedViewerProc;
    switch (message) {
    case WM_GETDLGCODE:
        return WithoutDialogKeys(CallWindowProcA(saved, view, message, wParam, lParam),
                                 reinterpret_cast<const MSG*>(lParam));
    case WM_KEYDOWN:
        if (!IsNavigationKey(wParam)) return 0;
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return 0;
    case WM_DESTROY:
        // The control still gets its own WM_DESTROY, so that it can release what it holds.
        SetWindowLongPtrA(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved));
        g_license.savedViewerProc = nullptr;
        break;
    default:
        break;
    }
    return CallWindowProcA(saved, view, message, wParam, lParam);
}

void InstallViewerFilter(HWND view) {
    const LONG_PTR own = GetWindowLongPtrA(view, GWLP_WNDPROC);
    if (own == 0) return;
    g_license.savedViewerProc = reinterpret_cast<WNDPROC>(own);
    SetWindowLongPtrA(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LicenseViewerProc));
}

SetupString LicenseText() {
    const ResourceData stored = LoadResourceData(IDR_LICENSE_TEXT);
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return InsertYear(UnscrambleText(stored.bytes, stored.size, license::kKey), now.wYear);
}

bool IsLicenseAccepted(HWND page) { return IsDlgButtonChecked(page, IDC_LICENSE_ACCEPT) == BST_CHECKED; }

void UpdateLicenseButtons(HWND page) {
    SetWizardButtons(IsLicenseAccepted(page) ? PSWIZB_BACK | PSWIZB_NEXT : PSWIZB_BACK);
}

INT_PTR OnInit(HWND page) {
    InstallViewerFilter(GetDlgItem(page, IDC_LICENSE_TEXT));
    SetDlgItemTextA(page, IDC_LICENSE_TEXT, LicenseText().c_str());
    UpdateLicenseButtons(page);
    return TRUE;
}

INT_PTR OnCommand(HWND page, WPARAM wParam) {
    const int id = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED && (id == IDC_LICENSE_ACCEPT || id == IDC_LICENSE_DECLINE))
        UpdateLicenseButtons(page);
    return FALSE;
}

INT_PTR OnSetActive(HWND page) {
    UpdateLicenseButtons(page);
    return FALSE;
}

const PageHandlers kHandlers = {OnInit, OnCommand, OnSetActive, nullptr};

}  // namespace

INT_PTR CALLBACK LicensePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchPageMessage(page, message, wParam, lParam, kHandlers);
}
