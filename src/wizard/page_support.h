// Small services the question pages share: answering the wizard's
// notifications, reading and enabling controls, and the shell's folder browser.
#pragma once

#include <windows.h>
#include <prsht.h>
#include <shlobj.h>

#include <initializer_list>

#include "foundation/portable/setup_string.h"

/// Ends a notification as handled, with `result` as the page's answer to the wizard.
INT_PTR AnswerNotification(HWND page, LONG_PTR result);
/// Keeps the wizard on this page (the answer to a refused Next).
INT_PTR StayOnPage(HWND page);
/// The shared answer to Cancel: TRUE keeps the wizard open.
INT_PTR AnswerQueryCancel(HWND page);

/// A page's own handlers as plain functions; a null handler leaves the message to the default handling.
struct PageHandlers {
    INT_PTR (*onInit)(HWND page);
    INT_PTR (*onCommand)(HWND page, WPARAM wParam);
    INT_PTR (*onSetActive)(HWND page);
    INT_PTR (*onWizardNext)(HWND page);

    INT_PTR OnInit(HWND page) const { return onInit != nullptr ? onInit(page) : TRUE; }
    INT_PTR OnCommand(HWND page, WPARAM wParam) const { return onCommand != nullptr ? onCommand(page, wParam) : FALSE; }
    INT_PTR OnSetActive(HWND page) const { return onSetActive != nullptr ? onSetActive(page) : FALSE; }
    INT_PTR OnWizardNext(HWND page) const { return onWizardNext != nullptr ? onWizardNext(page) : FALSE; }
};

/// The text of a control, at most 259 characters.
SetupString PageControlText(HWND page, int id);
void EnablePageControls(HWND page, std::initializer_list<int> ids, bool enable);
void ShowPageIcon(HWND page, int id, HICON icon);

enum class BrowsePick { Cancelled, NoPath, Picked };
/// Shows the shell's folder browser below `root` (null: the whole namespace); `path` receives the pick.
BrowsePick BrowseForFolderPath(HWND owner, IMalloc* allocator, const ITEMIDLIST* root, const char* title,
                               SetupString& path);

/// Shows the low-memory message and ends the process (exit code 0).
[[noreturn]] void EndAfterFailure();

/// Runs a page's message handling; a failure of the text type ends the program here
/// instead of unwinding through the system's dialog code.
template <typename Handler>
INT_PTR RunPageHandler(Handler handler) noexcept {
    try {
        return handler();
    } catch (...) {
        EndAfterFailure();
    }
}

/// The dialog procedure of a question page: sends the messages to the handlers' OnInit,
/// OnCommand, OnSetActive and OnWizardNext, and answers Cancel with the shared confirmation.
template <typename Handlers>
INT_PTR DispatchPageMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam, const Handlers& handlers) {
    return RunPageHandler([&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            return handlers.OnInit(page);
        case WM_COMMAND:
            return handlers.OnCommand(page, wParam);
        case WM_NOTIFY:
            switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
            case PSN_SETACTIVE:
                return handlers.OnSetActive(page);
            case PSN_WIZNEXT:
                return handlers.OnWizardNext(page);
            case PSN_QUERYCANCEL:
                return AnswerQueryCancel(page);
            default:
                return FALSE;
            }
        default:
            return FALSE;
        }
    });
}
