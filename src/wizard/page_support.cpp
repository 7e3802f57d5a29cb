#include "wizard/page_support.h"

#include "foundation/message_box.h"
#include "foundation/win_handles.h"
#include "wizard/wizard.h"

namespace {

constexpr int kMaxTypedText = 259;
// BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_RETURNFSANCESTORS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE
constexpr UINT kBrowseFlags = 0x5B;

}  // namespace

INT_PTR AnswerNotification(HWND page, LONG_PTR result) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR StayOnPage(HWND page) { return AnswerNotification(page, -1); }

INT_PTR AnswerQueryCancel(HWND page) { return ConfirmCancel(page) == 0 ? TRUE : FALSE; }

SetupString PageControlText(HWND page, int id) {
    char text[kMaxTypedText + 1] = "";
    GetDlgItemTextA(page, id, text, sizeof text);
    return SetupString(text);
}

void EnablePageControls(HWND page, std::initializer_list<int> ids, bool enable) {
    for (int id : ids) EnableWindow(GetDlgItem(page, id), enable ? TRUE : FALSE);
}

void MakeControlBold(HWND page, int id, win::Font& font) {
    const HWND control = GetDlgItem(page, id);
    const HFONT current = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (current == nullptr) return;
    LOGFONTA description = {};
    if (GetObjectA(current, sizeof description, &description) == 0) return;
    description.lfWeight = FW_BOLD;
    win::Font bold(CreateFontIndirectA(&description));
    if (!bold) return;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(bold.Get()), TRUE);
    // Only now that the control no longer uses the earlier font may it go.
    font = std::move(bold);
}

void ShowPageIcon(HWND page, int id, HICON icon) {
    SendDlgItemMessageA(page, id, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

BrowsePick BrowseForFolderPath(HWND owner, IMalloc* allocator, const ITEMIDLIST* root, const char* title,
                               SetupString& path) {
    char displayName[MAX_PATH] = "";
    BROWSEINFOA browse = {};
    browse.hwndOwner = owner;
    browse.pidlRoot = root;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = title;
    browse.ulFlags = kBrowseFlags;
    win::ShellMemory<ITEMIDLIST> picked(allocator);
    picked.Reset(SHBrowseForFolderA(&browse));
    if (!picked) return BrowsePick::Cancelled;
    char pickedPath[MAX_PATH] = "";
    if (!SHGetPathFromIDListA(picked.Get(), pickedPath)) return BrowsePick::NoPath;
    path = pickedPath;
    return BrowsePick::Picked;
}

void EndAfterFailure() {
    SetupMessageBox("ERROR: Not enough memory to continue the installation.", kBoxError, nullptr);
    ExitProcess(0);
}
