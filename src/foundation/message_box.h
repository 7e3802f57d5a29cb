// Every message to the user goes through SetupMessageBox: the setup caption,
// the wizard as default owner, and the box centred over its owner.
#pragma once

#include <windows.h>

// Style values the setup uses.
enum SetupBoxStyle : UINT {
    kBoxError = MB_OK | MB_ICONERROR,                                      // 0x10
    kBoxInformation = MB_OK | MB_ICONINFORMATION,                          // 0x40
    kBoxErrorYesNo = MB_YESNO | MB_ICONERROR,                              // 0x14
    kBoxErrorYesNoSafe = MB_YESNO | MB_ICONERROR | MB_DEFBUTTON2,          // 0x114
    kBoxQuestionYesNoSafe = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,    // 0x144
    kBoxErrorYesNoCancel = MB_YESNOCANCEL | MB_ICONERROR,                  // 0x13
};

/// Shows a modal box; a null owner means the wizard window, a null caption the setup caption.
int SetupMessageBox(const char* text, UINT style, HWND owner = nullptr, const char* caption = nullptr);

/// Centres `window` (null: the wizard) over `reference`, or over the work area when it has none.
BOOL CenterWindow(HWND window, HWND reference);

/// Shows the hourglass for its lifetime.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};
