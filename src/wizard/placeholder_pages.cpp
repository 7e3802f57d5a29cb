// Pages that only move the wizard along and answer Cancel; each real page
// replaces its procedure here as it is built.
#include <windows.h>
#include <prsht.h>

#include "wizard/pages.h"
#include "wizard/wizard.h"

namespace {

INT_PTR OnNotify(HWND page, const NMHDR& header, DWORD buttons) {
    switch (header.code) {
    case PSN_SETACTIVE:
        SetWizardButtons(buttons);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
    case PSN_QUERYCANCEL:
        return ConfirmCancel(page) == 0 ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

template <DWORD Buttons>
INT_PTR CALLBACK PlaceholderPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(page, *reinterpret_cast<const NMHDR*>(lParam), Buttons);
    default:
        return FALSE;
    }
}

constexpr DWORD kBackNext = PSWIZB_BACK | PSWIZB_NEXT;

}  // namespace

INT_PTR CALLBACK WelcomePageProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PlaceholderPageProc<PSWIZB_NEXT>(h, m, w, l); }
INT_PTR CALLBACK LicensePageProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PlaceholderPageProc<kBackNext>(h, m, w, l); }
INT_PTR CALLBACK DestinationPageProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PlaceholderPageProc<kBackNext>(h, m, w, l); }
INT_PTR CALLBACK StartMenuPageProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PlaceholderPageProc<kBackNext>(h, m, w, l); }
INT_PTR CALLBACK DataFolderPageProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PlaceholderPageProc<kBackNext>(h, m, w, l); }
INT_PTR CALLBACK TasksPageProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PlaceholderPageProc<kBackNext>(h, m, w, l); }
INT_PTR CALLBACK ReadyPageProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PlaceholderPageProc<kBackNext>(h, m, w, l); }
INT_PTR CALLBACK InstallingPageProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PlaceholderPageProc<PSWIZB_NEXT>(h, m, w, l); }
INT_PTR CALLBACK FinishedPageProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PlaceholderPageProc<PSWIZB_FINISH>(h, m, w, l); }
