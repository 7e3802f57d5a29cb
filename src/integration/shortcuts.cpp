#include "integration/shortcuts.h"

#include <shlobj.h>

#include "foundation/folders.h"
#include "foundation/portable/install_choices.h"
#include "foundation/portable/product.h"
#include "foundation/registry.h"
#include "foundation/win_handles.h"
#include "integration/contained_folders.h"

namespace {

constexpr const char kOldLinkName[] = "Korvane & Scheduler";
constexpr const char kStartMenuRecord[] = "instOSMP";

struct Targets {
    SetupString application;
    SetupString manual;
    SetupString guide;
    SetupString uninstaller;
};

Targets BuildTargets() {
    const SetupString folder = WithTrailingSeparator(g_choices.InstallFolder.c_str());
    return {Concat(folder, product::kMainExecutable), Concat(folder, product::kManualPage),
            Concat(folder, product::kQuickSetupPage), Concat(folder, product::kUninstaller)};
}

// "folder" + "name.lnk"; `folder` ends with a separator.
SetupString LinkPath(const char* folder, const char* name) {
    SetupString path;
    path.Format("%s%s.lnk", folder, name);
    return path;
}

// The Start Menu folder's links besides the one named after the application, with their targets.
struct FixedLink {
    const char* name;
    SetupString Targets::*target;
};
const FixedLink kFixedLinks[] = {
    {"Manual", &Targets::manual},
    {"Quick Hardware Setup", &Targets::guide},
    {"Uninstall", &Targets::uninstaller},
};

// A recorded folder outside the Programs folder, or in Startup, is left alone: its links are not ours.
void RemoveOldStartMenuFolder() {
    const SetupString recorded = ReadSetting(HKEY_CURRENT_USER, kStartMenuRecord, "");
    if (recorded.Empty() || !IsOwnStartMenuFolder(recorded.c_str())) return;
    const SetupString folder = WithTrailingSeparator(recorded.c_str());
    DeleteFileA(LinkPath(folder.c_str(), kOldLinkName).c_str());
    DeleteFileA(LinkPath(folder.c_str(), product::kName).c_str());
    for (const FixedLink& link : kFixedLinks) DeleteFileA(LinkPath(folder.c_str(), link.name).c_str());
    if (RemoveEmptyFolder(folder.c_str()))
        WriteSetting(kStartMenuRecord, "", HKEY_CURRENT_USER);
}

void CreateStartMenuFolder(const Targets& targets) {
    const char* folder = g_choices.StartMenuPath.c_str();
    if (g_choices.CreateStartMenuFolder != 1 || !IsOwnStartMenuFolder(folder)) return;
    CreateFolderChain(folder);
    CreateShortcutFile(LinkPath(folder, product::kName).c_str(), targets.application.c_str());
    for (const FixedLink& link : kFixedLinks)
        CreateShortcutFile(LinkPath(folder, link.name).c_str(), (targets.*link.target).c_str());
    WriteSetting(kStartMenuRecord, folder, HKEY_CURRENT_USER);
}

// The application's link in a shell folder (desktop or Quick Launch): the old-named link is removed, then
// the product's link is created or, when not wanted, removed as well.
struct ShellFolderLink {
    int csidl;
    const char* subfolder;  // below the shell folder, ending with a separator
    const int32_t* wanted;
};

void UpdateShellFolderLink(HWND page, IMalloc* allocator, const ShellFolderLink& link, const char* target) {
    win::ShellMemory<ITEMIDLIST> items(allocator);
    if (FAILED(SHGetSpecialFolderLocation(page, link.csidl, items.Receive()))) return;
    char path[MAX_PATH] = "";
    if (SHGetPathFromIDListA(items.Get(), path)) {
        const SetupString folder = Concat(WithTrailingSeparator(path), link.subfolder);
        DeleteFileA(LinkPath(folder.c_str(), kOldLinkName).c_str());
        const SetupString current = LinkPath(folder.c_str(), product::kName);
        if (*link.wanted == 1) {
            CreateFolderChain(current.c_str());
            CreateShortcutFile(current.c_str(), target);
        } else {
            DeleteFileA(current.c_str());
        }
    }
}

}  // namespace

void CreateShortcutFile(const char* linkPath, const char* targetPath) {
    win::ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.ReceiveVoid())))
        return;
    link->SetPath(targetPath);
    win::ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid()))) return;
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) == 0) return;
    file->Save(widePath, TRUE);
}

int InstallShortcutsStep(const InstallStepContext& step) {
    step.ShowActivity("Installing data folder...", "");
    step.cancellable = 0;
    CreateFolderChain(WithTrailingSeparator(g_choices.DataFolder.c_str()).c_str());
    if (!PathExists(g_choices.DataFolder.c_str())) {
        step.error.Format("ERROR: Cannot create the recording & data files folder:\n\n%s", g_choices.DataFolder.c_str());
        return 0;
    }
    step.ShowCaption("Installing shortcuts...");
    const Targets targets = BuildTargets();
    RemoveOldStartMenuFolder();
    CreateStartMenuFolder(targets);

    win::ComPtr<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.Receive()))) return 1;
    const ShellFolderLink links[] = {
        {CSIDL_DESKTOPDIRECTORY, "", &g_choices.DesktopIcon},
        {CSIDL_APPDATA, "Microsoft\\Internet Explorer\\Quick Launch\\", &g_choices.QuickLaunchIcon},
    };
    for (const ShellFolderLink& link : links) UpdateShellFolderLink(step.page, allocator.Get(), link, targets.application.c_str());
    return 1;
}
