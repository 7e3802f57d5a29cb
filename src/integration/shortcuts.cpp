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

constexpr int kStartMenuLinks = 1 + static_cast<int>(sizeof kFixedLinks / sizeof kFixedLinks[0]);

// Saves the Start Menu folder's links, side by side when asked: each on a thread of its own, in an apartment
// of its own (under Wine every save waits for a helper process that it starts, and these waits then overlap).
// Only for a step without a page: this thread answers no message while it waits for the others. A link whose
// thread does not start is saved on this thread. All are saved once this has gone.
class StartMenuLinkSaver {
public:
    explicit StartMenuLinkSaver(bool sideBySide) : sideBySide_(sideBySide) {}
    ~StartMenuLinkSaver() {
        for (int i = 0; i < started_; ++i) WaitForSingleObject(threads_[i].Get(), INFINITE);
    }
    StartMenuLinkSaver(const StartMenuLinkSaver&) = delete;
    StartMenuLinkSaver& operator=(const StartMenuLinkSaver&) = delete;

    void Save(const SetupString& link, const SetupString& target) {
        if (sideBySide_ && started_ < kStartMenuLinks) {
            Job& job = jobs_[started_];
            job.link = link;
            job.target = target;
            threads_[started_].Reset(CreateThread(nullptr, 0, SaveOnThread, &job, 0, nullptr));
            if (threads_[started_]) {
                ++started_;
                return;
            }
        }
        CreateShortcutFile(link.c_str(), target.c_str());
    }

private:
    struct Job {
        SetupString link;
        SetupString target;
    };
    static DWORD WINAPI SaveOnThread(void* parameter) {
        const Job& job = *static_cast<const Job*>(parameter);
        const win::ComApartment apartment(win::ComApartment::Kind::Com);
        CreateShortcutFile(job.link.c_str(), job.target.c_str());
        return 0;
    }

    bool sideBySide_;
    Job jobs_[kStartMenuLinks];
    win::KernelHandle threads_[kStartMenuLinks];
    int started_ = 0;
};

void CreateStartMenuFolder(const Targets& targets, bool sideBySide) {
    const char* folder = g_choices.StartMenuPath.c_str();
    if (g_choices.CreateStartMenuFolder != 1 || !IsOwnStartMenuFolder(folder)) return;
    CreateFolderChain(folder);
    {
        StartMenuLinkSaver saver(sideBySide);
        saver.Save(LinkPath(folder, product::kName), targets.application);
        for (const FixedLink& link : kFixedLinks) saver.Save(LinkPath(folder, link.name), targets.*link.target);
    }
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
    CreateStartMenuFolder(targets, step.page == nullptr);

    win::ComPtr<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.Receive()))) return 1;
    const ShellFolderLink links[] = {
        {CSIDL_DESKTOPDIRECTORY, "", &g_choices.DesktopIcon},
        {CSIDL_APPDATA, "Microsoft\\Internet Explorer\\Quick Launch\\", &g_choices.QuickLaunchIcon},
    };
    for (const ShellFolderLink& link : links) UpdateShellFolderLink(step.page, allocator.Get(), link, targets.application.c_str());
    return 1;
}
