// Small services the question pages share: answering the wizard's
// notifications, reading and enabling controls, and the shell's folder browser.
#pragma once

#include <windows.h>
#include <prsht.h>
#include <shlobj.h>

#include <initializer_list>

#include "foundation/portable/setup_string.h"
#include "foundation/win_handles.h"

/// Ends a notification as handled, with `result` as the page's answer to the wizard.
INT_PTR AnswerNotification(HWND page, LONG_PTR result);
/// Keeps the wizard on this page (the answer to a refused Next).
INT_PTR StayOnPage(HWND page);
/// The shared answer to Cancel: TRUE keeps the wizard open.
INT_PTR AnswerQueryCancel(HWND page);

/// What a page does by default: nothing, except that Cancel asks the shared confirmation. Page handlers
/// derive from it and hide what they handle themselves.
struct DefaultPageHandling {
    INT_PTR OnInit(HWND) const { return TRUE; }
    INT_PTR OnDestroy(HWND) const { return FALSE; }
    INT_PTR OnCommand(HWND, WPARAM) const { return FALSE; }
    INT_PTR OnTimer(HWND, WPARAM) const { return FALSE; }
    INT_PTR OnSetActive(HWND) const { return FALSE; }
    INT_PTR OnKillActive(HWND) const { return FALSE; }
    INT_PTR OnWizardNext(HWND) const { return FALSE; }
    INT_PTR OnWizardFinish(HWND) const { return FALSE; }
    INT_PTR OnQueryCancel(HWND page) const { return AnswerQueryCancel(page); }
};

/// A page's own handlers as plain functions; a null handler leaves the message to the default handling.
struct PageHandlers {
    INT_PTR (*onInit)(HWND page) = nullptr;
    INT_PTR (*onCommand)(HWND page, WPARAM wParam) = nullptr;
    INT_PTR (*onSetActive)(HWND page) = nullptr;
    INT_PTR (*onWizardNext)(HWND page) = nullptr;
    INT_PTR (*onDestroy)(HWND page) = nullptr;
    INT_PTR (*onTimer)(HWND page, WPARAM timer) = nullptr;
    INT_PTR (*onKillActive)(HWND page) = nullptr;
    INT_PTR (*onWizardFinish)(HWND page) = nullptr;
    INT_PTR (*onQueryCancel)(HWND page) = nullptr;

    INT_PTR OnInit(HWND page) const { return onInit != nullptr ? onInit(page) : DefaultPageHandling{}.OnInit(page); }
    INT_PTR OnCommand(HWND page, WPARAM wParam) const {
        return onCommand != nullptr ? onCommand(page, wParam) : DefaultPageHandling{}.OnCommand(page, wParam);
    }
    INT_PTR OnSetActive(HWND page) const {
        return onSetActive != nullptr ? onSetActive(page) : DefaultPageHandling{}.OnSetActive(page);
    }
    INT_PTR OnWizardNext(HWND page) const {
        return onWizardNext != nullptr ? onWizardNext(page) : DefaultPageHandling{}.OnWizardNext(page);
    }
    INT_PTR OnDestroy(HWND page) const {
        return onDestroy != nullptr ? onDestroy(page) : DefaultPageHandling{}.OnDestroy(page);
    }
    INT_PTR OnTimer(HWND page, WPARAM timer) const {
        return onTimer != nullptr ? onTimer(page, timer) : DefaultPageHandling{}.OnTimer(page, timer);
    }
    INT_PTR OnKillActive(HWND page) const {
        return onKillActive != nullptr ? onKillActive(page) : DefaultPageHandling{}.OnKillActive(page);
    }
    INT_PTR OnWizardFinish(HWND page) const {
        return onWizardFinish != nullptr ? onWizardFinish(page) : DefaultPageHandling{}.OnWizardFinish(page);
    }
    INT_PTR OnQueryCancel(HWND page) const {
        return onQueryCancel != nullptr ? onQueryCancel(page) : DefaultPageHandling{}.OnQueryCancel(page);
    }
};

/// The text of a control, at most 259 characters.
SetupString PageControlText(HWND page, int id);
void EnablePageControls(HWND page, std::initializer_list<int> ids, bool enable);
void ShowPageIcon(HWND page, int id, HICON icon);
/// Shows control `id` in the bold form of its font; `font` keeps that font for as long as the control
/// uses it (a page's record, reset when the page is destroyed).
void MakeControlBold(HWND page, int id, win::Font& font);

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

/// The dialog procedure of every page: sends the messages to the handlers (DefaultPageHandling and what
/// derives from it) behind the pages' shared failure guard.
template <typename Handlers>
INT_PTR DispatchPageMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam, const Handlers& handlers) {
    return RunPageHandler([&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            return handlers.OnInit(page);
        case WM_DESTROY:
            return handlers.OnDestroy(page);
        case WM_COMMAND:
            return handlers.OnCommand(page, wParam);
        case WM_TIMER:
            return handlers.OnTimer(page, wParam);
        case WM_NOTIFY:
            switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
            case PSN_SETACTIVE:
                return handlers.OnSetActive(page);
            case PSN_KILLACTIVE:
                return handlers.OnKillActive(page);
            case PSN_WIZNEXT:
                return handlers.OnWizardNext(page);
            case PSN_WIZFINISH:
                return handlers.OnWizardFinish(page);
            case PSN_QUERYCANCEL:
                return handlers.OnQueryCancel(page);
            default:
                return FALSE;
            }
        default:
            return FALSE;
        }
    });
}
