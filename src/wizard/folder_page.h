// What the Destination and Data Folder pages have in common: a suggested or
// recorded folder in an edit box, locked when an earlier installation owns it,
// a folder browser, and validation on Next.
#pragma once

#include <windows.h>

#include "foundation/globals.h"
#include "foundation/portable/install_choices.h"
#include "foundation/portable/setup_string.h"

/// A folder page's state: whether its folder may be edited (not when an earlier installation owns it).
struct FolderPageState {
    int editable = 1;
};

/// A folder page's description; the pages fill it field by field.
struct FolderPage {
    int iconControl = 0;
    HICON SetupGlobals::*icon = nullptr;
    int editControl = 0;
    int browseControl = 0;
    const char* settingName = nullptr;    ///< value of the Settings key that records the folder
    const char* lockedMessage = nullptr;  ///< status line while the recorded folder is locked
    /// True when the recorded folder (trimmed, no trailing separator) belongs to an earlier installation.
    bool (*isLocked)(const SetupString& recorded) = nullptr;
    SetupString (*suggestion)() = nullptr;
    const char* browseTitle = nullptr;
    const char* subfolder = nullptr;  ///< appended to a folder picked with Browse
    const char* pathPhrase = nullptr;
    const char* folderPhrase = nullptr;
    SetupString InstallChoices::*choice = nullptr;
    FolderPageState* state = nullptr;
    void (*onInit)(HWND page) = nullptr;  ///< the page's own part of its creation, or null
    void (*onActivate)() = nullptr;       ///< the page's own part of each activation, or null
};

/// The two folder pages.
const FolderPage& DestinationPageDescription();
const FolderPage& DataFolderPageDescription();

/// What the page offers when it is created: the recorded folder (`locked` when an earlier installation owns
/// it), or the suggestion.
SetupString OfferedFolder(const FolderPage& traits, bool& locked);
/// Checks `text` as Next does (telling the user why it is refused) and stores it in the choices when
/// accepted: 1 accepted, 0 refused, 2 not writable and the suggestion asked for instead.
int AcceptFolder(const FolderPage& traits, const char* text);

/// The dialog procedure of a folder page described by `traits`.
INT_PTR FolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam, const FolderPage& traits);
/// Page creation: the icon, the recorded folder (locked or not) or the suggestion.
void InitFolderPage(HWND page, const FolderPage& traits);
/// Browse: a picked folder followed by the page's subfolder goes into the box.
void BrowseFolderPage(HWND page, const FolderPage& traits);
/// Next: true when the folder was accepted and stored; otherwise the page stays.
bool AcceptFolderPage(HWND page, const FolderPage& traits);
