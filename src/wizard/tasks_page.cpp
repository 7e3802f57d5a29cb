#include <shlobj.h>

#include "foundation/portable/install_choices.h"
#include "foundation/system_version.h"
#include "foundation/win_handles.h"
#include "resources/resource.h"
#include "wizard/page_support.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"

namespace {


// The shell must know the application-data folder, and the system must be older than
// Windows 7 (which has no Quick Launch bar; the manifest caps what later systems report at 6.2).
bool QuickLaunchAvailable(HWND page) {
    win::ComPtr<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.Receive()))) return false;
    {
        win::ShellMemory<ITEMIDLIST> appData(allocator.Get());
        if (FAILED(SHGetSpecialFolderLocation(page, CSIDL_APPDATA, appData.Receive()))) return false;
    }
    OSVERSIONINFOA version;
    return !(QuerySystemVersion(version) && version.dwMajorVersion >= 6 && version.dwMinorVersion >= 1);
}

bool IsTicked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

INT_PTR OnSetActive(HWND page) {
    SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    EnablePageControls(page, {IDC_TASKS_QUICKLAUNCH}, QuickLaunchAvailable(page));
    return AnswerNotification(page, 0);
}

INT_PTR OnWizardNext(HWND page) {
    g_choices.DesktopIcon = IsTicked(page, IDC_TASKS_DESKTOP) ? 1 : 0;
    g_choices.QuickLaunchIcon = IsTicked(page, IDC_TASKS_QUICKLAUNCH) ? 1 : 0;
    return AnswerNotification(page, 0);
}

const PageHandlers kHandlers = {nullptr, nullptr, OnSetActive, OnWizardNext};

}  // namespace

INT_PTR CALLBACK TasksPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchPageMessage(page, message, wParam, lParam, kHandlers);
}
