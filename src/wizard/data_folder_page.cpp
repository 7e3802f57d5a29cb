#include <shlobj.h>

#include "foundation/folders.h"
#include "resources/resource.h"
#include "wizard/folder_page.h"
#include "wizard/pages.h"
#include "wizard/path_validation.h"

namespace {

constexpr const char kRecordingsFolder[] = "Korvane Recordings";

FolderPageState g_dataFolder;

SetupString DefaultDataFolder() {
    SetupString base = SpecialFolderPath(CSIDL_MYMUSIC);
    if (base.Empty()) base = SpecialFolderPath(CSIDL_PERSONAL);
    return Concat(base, kRecordingsFolder);
}

// A recorded data folder that still exists stays with the earlier installation, whatever it holds.
bool StillExists(const SetupString& folder) { return PathExists(folder.c_str()); }

FolderPage MakeDataFolderPage() {
    FolderPage page;
    page.iconControl = IDC_DATAFOLDER_ICON;
    page.icon = &SetupGlobals::dataFolderIcon;
    page.editControl = IDC_DATAFOLDER_FOLDER;
    page.browseControl = IDC_DATAFOLDER_BROWSE;
    page.settingName = "SetupSchdRcFldr";
    page.lockedMessage =
        "This folder has already been defined...\n(You will be able to change it in the Options window when the "
        "program is installed.)";
    page.isLocked = StillExists;
    page.suggestion = DefaultDataFolder;
    page.browseTitle = "Select the data folder:";
    page.subfolder = kRecordingsFolder;
    page.pathPhrase = "recording & data files folder path";
    page.folderPhrase = "recording & data files folder";
    page.choice = &InstallChoices::DataFolder;
    page.state = &g_dataFolder;
    return page;
}
const FolderPage kDataFolder = MakeDataFolderPage();

}  // namespace

const FolderPage& DataFolderPageDescription() { return kDataFolder; }

INT_PTR CALLBACK DataFolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return FolderPageProc(page, message, wParam, lParam, kDataFolder);
}
