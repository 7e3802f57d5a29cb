#include <shlobj.h>

#include "foundation/globals.h"
#include "foundation/message_box.h"
#include "foundation/portable/folder_removal_rules.h"
#include "foundation/portable/install_choices.h"
#include "foundation/win_handles.h"
#include "integration/contained_folders.h"
#include "resources/resource.h"
#include "wizard/page_support.h"
#include "wizard/pages.h"
#include "wizard/path_validation.h"
#include "wizard/portable/folder_rules.h"
#include "wizard/wizard.h"

namespace {

constexpr const char kProposedFolder[] = "Programs\\Korvane";

// 1 with `name` relative to the Start Menu, 0 when the user cancelled, -1 when nothing usable came back.
int BrowseStartMenuFolder(HWND page, SetupString& name) {
    win::ComPtr<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.Receive()))) return -1;
    win::ShellMemory<ITEMIDLIST> root(allocator.Get());
    if (FAILED(SHGetSpecialFolderLocation(page, CSIDL_STARTMENU, root.Receive()))) {
        MessageBeep(MB_ICONHAND);
        return -1;
    }
    SetupString picked;
    const BrowsePick pick = BrowseForFolderPath(page, allocator.Get(), root.Get(),
                                                "Select Start Menu folder to install shortcut to the program:", picked);
    if (pick == BrowsePick::Cancelled) return 0;
    char rootPath[MAX_PATH] = "";
    if (pick == BrowsePick::NoPath || !SHGetPathFromIDListA(root.Get(), rootPath)) {
        SetupMessageBox("Selected item could not be used as Start Menu item...", kBoxError, page);
        return -1;
    }
    name = StartMenuNameOfPick(rootPath, picked.c_str());
    return 1;
}

INT_PTR OnInit(HWND page) {
    ShowPageIcon(page, IDC_STARTMENU_ICON, g_setup.startMenuIcon);
    SetDlgItemTextA(page, IDC_STARTMENU_FOLDER, kProposedFolder);
    return TRUE;
}

INT_PTR OnCommand(HWND page, WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_STARTMENU_NONE:
        EnablePageControls(page, {IDC_STARTMENU_BROWSE, IDC_STARTMENU_FOLDER},
                           IsDlgButtonChecked(page, IDC_STARTMENU_NONE) != BST_CHECKED);
        break;
    case IDC_STARTMENU_BROWSE: {
        SetupString name;
        if (BrowseStartMenuFolder(page, name) == 1) SetDlgItemTextA(page, IDC_STARTMENU_FOLDER, name.c_str());
        break;
    }
    default:
        break;
    }
    return FALSE;
}

INT_PTR OnSetActive(HWND page) {
    SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return AnswerNotification(page, 0);
}

INT_PTR OnWizardNext(HWND page) {
    if (IsDlgButtonChecked(page, IDC_STARTMENU_NONE) == BST_CHECKED) {
        StoreNoStartMenuFolder();
        return AnswerNotification(page, 0);
    }
    const int accepted = AcceptStartMenuName(PageControlText(page, IDC_STARTMENU_FOLDER).c_str());
    if (accepted == 1) return AnswerNotification(page, 0);
    if (accepted == 0) return StayOnPage(page);
    if (SetupMessageBox("Start Menu shortcut cannot be created.\nContinue?", kBoxErrorYesNoSafe) != IDYES)
        return StayOnPage(page);
    StoreNoStartMenuFolder();
    return AnswerNotification(page, 0);
}

const PageHandlers kHandlers = {OnInit, OnCommand, OnSetActive, OnWizardNext};

}  // namespace

const char* ProposedStartMenuName() { return kProposedFolder; }

void StoreNoStartMenuFolder() {
    g_choices.StartMenuFolder.Clear();
    g_choices.StartMenuPath.Clear();
    g_choices.CreateStartMenuFolder = 0;
}

int AcceptStartMenuName(const char* typed) {
    const SetupString name(typed);
    if (name.IsBlank(kNothingEntered)) {
        SetupMessageBox("Please specify Start Menu shortcut name...", kBoxError);
        return 0;
    }
    const SetupString base = SpecialFolderPath(CSIDL_STARTMENU);
    const SetupString full = Concat(WithTrailingSeparator(base.c_str()), WithTrailingSeparator(name.c_str()));
    // A name that climbs out of the Start Menu is refused before the probe makes any folder for it.
    if (!StaysInsideFolder(name.c_str()) || !IsOwnStartMenuFolder(full.c_str()) || !ProbeFolderWritable(full.c_str()))
        return -1;
    g_choices.StartMenuFolder = WithoutTrailingSeparator(name.c_str());
    g_choices.StartMenuPath = full;
    g_choices.CreateStartMenuFolder = 1;
    return 1;
}

INT_PTR CALLBACK StartMenuPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchPageMessage(page, message, wParam, lParam, kHandlers);
}
