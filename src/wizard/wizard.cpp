#include "wizard/wizard.h"

#include <commctrl.h>

#include <initializer_list>

#include "foundation/folders.h"
#include "foundation/globals.h"
#include "foundation/message_box.h"
#include "foundation/portable/install_choices.h"
#include "foundation/portable/product.h"
#include "foundation/system_library.h"
#include "foundation/win_handles.h"
#include "integration/launch.h"
#include "resources/resource.h"

namespace {

// The sheet holds at most this many pages.
constexpr int kMaxPages = 16;

constexpr UINT kPageSize = sizeof(WizardPage);
constexpr UINT kSheetSize = sizeof(PROPSHEETHEADERA);
// The page is the fourth version of the structure (with hbmHeader), the sheet the second.
constexpr bool kPointers64 = sizeof(void*) == 8;
static_assert(kPageSize == (kPointers64 ? 104 : 56), "property sheet page with its header bitmap");
static_assert(kSheetSize == (kPointers64 ? 96 : 52), "property sheet header with watermark and header bitmap");

constexpr DWORD kWizard97PageFlags = PSP_USETITLE | PSP_USEHEADERTITLE | PSP_USEHEADERSUBTITLE;
constexpr DWORD kWizard97SheetFlags = PSH_USEICONID | PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK |
                                      PSH_WATERMARK | PSH_HEADER | PSH_WIZARD97 | PSH_NOCONTEXTHELP;
constexpr DWORD kClassicPageFlags = PSP_USETITLE;
constexpr DWORD kClassicSheetFlags = PSH_USEICONID | PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_NOAPPLYNOW | PSH_USECALLBACK;

static_assert(kWizard97PageFlags == 0x3008 && kWizard97SheetFlags == 0x0308818C, "Wizard97 flags");
static_assert(kClassicPageFlags == 0x8 && kClassicSheetFlags == 0x1AC, "classic flags");

}  // namespace

void InitWizardPages(WizardPage* pages, PROPSHEETHEADERA* sheet, int count, DWORD pageFlags, DWORD sheetFlags) {
    for (int i = 0; i < count; ++i) {
        pages[i].page.dwSize = kPageSize;
        pages[i].page.dwFlags = pageFlags;
        pages[i].page.hInstance = g_setup.instance;
        pages[i].page.pszTitle = product::kSetupCaption;
    }
    sheet->dwFlags = sheetFlags;
}

int CALLBACK WizardSheetCallback(HWND window, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED) {
        g_setup.wizardWindow = window;
        SetClassLongPtrA(window, GCLP_HICON, reinterpret_cast<LONG_PTR>(g_setup.setupIcon));
        SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_setup.setupIcon));
    }
    return 0;
}

int ShowWizard(const PageDescription* pageTable, int count) {
    if (count > kMaxPages) count = kMaxPages;
    WizardPage pages[kMaxPages] = {};
    for (int i = 0; i < count; ++i) {
        pages[i].page.pszTemplate = MAKEINTRESOURCEA(pageTable[i].dialog);
        pages[i].page.pfnDlgProc = pageTable[i].procedure;
        pages[i].page.pszHeaderTitle = MAKEINTRESOURCEA(pageTable[i].headerTitle);
        pages[i].page.pszHeaderSubTitle = MAKEINTRESOURCEA(pageTable[i].headerSubtitle);
    }
    PROPSHEETHEADERA sheet = {};
    sheet.hInstance = g_setup.instance;
    sheet.dwSize = kSheetSize;
    sheet.pszIcon = MAKEINTRESOURCEA(IDI_SETUP);
    sheet.pszbmWatermark = MAKEINTRESOURCEA(IDB_WATERMARK);
    sheet.pszbmHeader = MAKEINTRESOURCEA(IDB_HEADER);
    sheet.pfnCallback = WizardSheetCallback;
    sheet.nPages = static_cast<UINT>(count);
    sheet.ppsp = &pages[0].page;

    // Loaded here rather than imported, so that it comes only from where the system keeps it.
    const win::Library commonControls(LoadCommonControls());
    using PropertySheetFn = INT_PTR(WINAPI*)(LPCPROPSHEETHEADERA);
    const auto propertySheet = LibraryFunction<PropertySheetFn>(commonControls.Get(), "PropertySheetA");
    if (propertySheet != nullptr) {
        InitWizardPages(pages, &sheet, count, kWizard97PageFlags, kWizard97SheetFlags);
        if (propertySheet(&sheet) != -1) return 0;
        InitWizardPages(pages, &sheet, count, kClassicPageFlags, kClassicSheetFlags);
        if (propertySheet(&sheet) != -1) return 0;
    }
    if (SetupMessageBox("ERROR: Could not start installation...\nYour operating system is not supported. Please "
                        "contact us through feedback to report this.\n\nWould you like to connect to the feedback "
                        "page now?",
                        kBoxErrorYesNoCancel, nullptr) == IDYES)
        OpenWebPage(product::kFeedbackPage, true);
    return 0;
}

int RemoveEmptyTargetFolders() {
    for (const SetupString* folder : {&g_choices.DataFolder, &g_choices.InstallFolder, &g_choices.StartMenuPath}) {
        const SetupString path = WithoutTrailingSeparator(folder->c_str());
        if (!path.IsBlank(kNothingEntered)) RemoveEmptyFolder(path.c_str());
    }
    return 1;
}

int ConfirmCancel(HWND page) {
    const int answer = SetupMessageBox(
        "Setup is not complete. If you exit now, the program will not be installed.\n\nYou may run Setup again at "
        "another time to complete the installation.\n\nExit Setup?",
        kBoxQuestionYesNoSafe, page);
    if (answer == IDNO) {
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 1);
        return 0;
    }
    RemoveEmptyTargetFolders();
    return 1;
}

void SetWizardButtons(DWORD buttons) {
    PostMessageA(g_setup.wizardWindow, PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(buttons));
}
