#include "wizard/folder_page.h"

#include <shlobj.h>

#include "foundation/message_box.h"
#include "foundation/registry.h"
#include "foundation/win_handles.h"
#include "resources/resource.h"
#include "wizard/page_support.h"
#include "wizard/path_validation.h"
#include "wizard/wizard.h"

namespace {

void ShowFolder(HWND page, const FolderPage& traits, const char* folder) {
    SetDlgItemTextA(page, traits.editControl, folder);
}

void ApplyEditable(HWND page, const FolderPage& traits, int editable) {
    traits.state->editable = editable;
    EnablePageControls(page, {traits.editControl, traits.browseControl}, editable != 0);
}

// The handlers of one folder page, bound to its description.
struct FolderPageHandlers : DefaultPageHandling {
    const FolderPage& traits;

    INT_PTR OnInit(HWND page) const {
        if (traits.onInit != nullptr) traits.onInit(page);
        InitFolderPage(page, traits);
        return TRUE;
    }

    INT_PTR OnCommand(HWND page, WPARAM wParam) const {
        if (LOWORD(wParam) == traits.browseControl && HIWORD(wParam) == BN_CLICKED) BrowseFolderPage(page, traits);
        return FALSE;
    }

    INT_PTR OnSetActive(HWND page) const {
        SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
        if (traits.onActivate != nullptr) traits.onActivate();
        return AnswerNotification(page, 0);
    }

    INT_PTR OnWizardNext(HWND page) const {
        return AcceptFolderPage(page, traits) ? AnswerNotification(page, 0) : StayOnPage(page);
    }
};

}  // namespace

INT_PTR FolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam, const FolderPage& traits) {
    return DispatchPageMessage(page, message, wParam, lParam, FolderPageHandlers{{}, traits});
}

SetupString OfferedFolder(const FolderPage& traits, bool& locked) {
    SetupString recorded = ReadSetting(HKEY_CURRENT_USER, traits.settingName, "");
    recorded.Trim(kBlanks);
    SetupString folder = WithoutTrailingSeparator(recorded.c_str());
    locked = traits.isLocked(folder);
    if (!locked && folder.Empty()) folder = traits.suggestion();
    return folder;
}

void InitFolderPage(HWND page, const FolderPage& traits) {
    ShowPageIcon(page, traits.iconControl, g_setup.*traits.icon);
    bool locked = false;
    const SetupString folder = OfferedFolder(traits, locked);
    SetDlgItemTextA(page, IDC_FOLDER_STATUS, locked ? traits.lockedMessage : "");
    ShowFolder(page, traits, folder.c_str());
    ApplyEditable(page, traits, locked ? 0 : 1);
}

void BrowseFolderPage(HWND page, const FolderPage& traits) {
    win::ComPtr<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.Receive()))) return;
    SetupString picked;
    switch (BrowseForFolderPath(page, allocator.Get(), nullptr, traits.browseTitle, picked)) {
    case BrowsePick::Picked:
        ShowFolder(page, traits, Concat(WithTrailingSeparator(picked.c_str()), traits.subfolder).c_str());
        break;
    case BrowsePick::NoPath:
        SetupMessageBox("Selected item could not be used for installation...", kBoxError, page);
        break;
    case BrowsePick::Cancelled:
        break;
    }
}

int AcceptFolder(const FolderPage& traits, const char* text) {
    const int verdict = ValidateFolderPath(text, traits.pathPhrase, traits.folderPhrase);
    if (verdict == 1) g_choices.*traits.choice = WithoutTrailingSeparator(text);
    return verdict;
}

bool AcceptFolderPage(HWND page, const FolderPage& traits) {
    const SetupString text = PageControlText(page, traits.editControl);
    const int verdict = AcceptFolder(traits, text.c_str());
    if (verdict == 1) return true;
    if (verdict == 2 || traits.state->editable == 0) {
        ShowFolder(page, traits, traits.suggestion().c_str());
        if (verdict == 0) ApplyEditable(page, traits, 1);
    }
    return false;
}
