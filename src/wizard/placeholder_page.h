// A page that only moves the wizard along and answers Cancel, for pages whose
// own behaviour is not built yet.
#pragma once

#include <windows.h>
#include <prsht.h>

#include "wizard/wizard.h"

template <DWORD Buttons>
INT_PTR CALLBACK PlaceholderPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_NOTIFY) return FALSE;
    switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
    case PSN_SETACTIVE:
        SetWizardButtons(Buttons);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
    case PSN_QUERYCANCEL:
        return ConfirmCancel(page) == 0 ? TRUE : FALSE;
    default:
        return FALSE;
    }
}
