#include <shlobj.h>

#include "foundation/folders.h"
#include "resources/resource.h"
#include "wizard/folder_page.h"
#include "wizard/pages.h"
#include "wizard/path_validation.h"

namespace {

constexpr const char kRecordingsFolder[] = "Korvane Recordings";

int g_dataFolderEditable = 1;

SetupString DefaultDataFolder() {
    SetupString base = SpecialFolderPath(CSIDL_MYMUSIC);
    if (base.Empty()) base = SpecialFolderPath(CSIDL_PERSONAL);
    return Concat(base, kRecordingsFolder);
}

// A recorded data folder that still exists stays with the earlier installation, whatever it holds.
bool StillExists(const SetupString& folder) { return PathExists(folder.c_str()); }

const FolderPage kDataFolder = {
    IDC_DATAFOLDER_ICON,
    &SetupGlobals::dataFolderIcon,
    IDC_DATAFOLDER_FOLDER,
    IDC_DATAFOLDER_BROWSE,
    "SetupSchdRcFldr",
    "This folder has already been defined...\n(You will be able to change it in the Options window when the "
    "program is installed.)",
    StillExists,
    DefaultDataFolder,
    "Select the data folder:",
    kRecordingsFolder,
    "recording & data files folder path",
    "recording & data files folder",
    &InstallChoices::DataFolder,
    &g_dataFolderEditable,
    nullptr,
    nullptr,
};

}  // namespace

INT_PTR CALLBACK DataFolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return FolderPageProc(page, message, wParam, lParam, kDataFolder);
}
