// Process-wide state of the setup's user-interface thread.
#pragma once

#include <windows.h>

struct SetupGlobals {
    HINSTANCE instance = nullptr;
    /// The property-sheet frame once the wizard has initialised; the default owner of message boxes.
    HWND wizardWindow = nullptr;
    HICON setupIcon = nullptr;        // 130
    HICON destinationIcon = nullptr;  // 136
    HICON startMenuIcon = nullptr;    // 137
    HICON dataFolderIcon = nullptr;   // 134
};

extern SetupGlobals g_setup;
