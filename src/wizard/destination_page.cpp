#include <shlobj.h>

#include "foundation/folders.h"
#include "foundation/portable/product.h"
#include "integration/launch.h"
#include "resources/resource.h"
#include "wizard/folder_page.h"
#include "wizard/pages.h"
#include "wizard/path_validation.h"

namespace {

FolderPageState g_destination;

SetupString DefaultInstallFolder() {
    SetupString base;
    if (g_facts.NtFamilySystem == 1) {
        char profile[MAX_PATH] = "";
        const DWORD length = ExpandEnvironmentStringsA("%USERPROFILE%", profile, MAX_PATH);
        if (length != 0 && length <= MAX_PATH && PathExists(profile))
            base = profile;
        else
            base = SpecialFolderPath(CSIDL_PERSONAL);
    } else {
        base = SpecialFolderPath(CSIDL_PROGRAM_FILES);
        if (!PathExists(base.c_str())) base = SpecialFolderPath(CSIDL_PERSONAL);
    }
    SetupString folder;
    folder.Format("%s\\%s", WithoutTrailingSeparator(base.c_str()).c_str(), product::kName);
    return folder;
}

// The program is installed when the recorded folder still holds its executable.
bool HoldsInstalledProgram(const SetupString& folder) {
    if (!PathExists(folder.c_str())) return false;
    SetupString program;
    program.Format("%s\\%s", folder.c_str(), product::kMainExecutable);
    return PathExists(program.c_str());
}

void ShowPerUserInformation(HWND page) {
    SetDlgItemTextA(page, IDC_DESTINATION_INFO,
                    g_facts.NtFamilySystem == 1
                        ? "INFORMATION: This program is installed per-Windows user on this computer."
                        : "");
}

// Running copies would hold the files that the installation replaces.
void CloseCopiesOnActivation() { CloseRunningCopies(kCloseCopiesTimeoutMs); }

FolderPage MakeDestinationPage() {
    FolderPage page;
    page.iconControl = IDC_DESTINATION_ICON;
    page.icon = &SetupGlobals::destinationIcon;
    page.editControl = IDC_DESTINATION_FOLDER;
    page.browseControl = IDC_DESTINATION_BROWSE;
    page.settingName = "InstallFolder";
    page.lockedMessage =
        "Another copy of the program is already installed for this user...\nIf you continue with the installation "
        "the program files will be reinstalled.";
    page.isLocked = HoldsInstalledProgram;
    page.suggestion = DefaultInstallFolder;
    page.browseTitle = "Select folder where you'd like to install the program:";
    page.subfolder = product::kName;
    page.pathPhrase = "path for installation";
    page.folderPhrase = "folder where you'd like to install the program";
    page.choice = &InstallChoices::InstallFolder;
    page.state = &g_destination;
    page.onInit = ShowPerUserInformation;
    page.onActivate = CloseCopiesOnActivation;
    return page;
}
const FolderPage kDestination = MakeDestinationPage();

}  // namespace

const FolderPage& DestinationPageDescription() { return kDestination; }

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return FolderPageProc(page, message, wParam, lParam, kDestination);
}
