#include "wizard/path_validation.h"

#include <windows.h>
#include <shlobj.h>

#include "foundation/folders.h"
#include "foundation/message_box.h"
#include "foundation/portable/install_choices.h"
#include "foundation/portable/product.h"
#include "foundation/registry.h"
#include "foundation/win_handles.h"

namespace {

constexpr const char kProbeFileName[] = "__testFile1827382_1";
constexpr const char kProbeValueName[] = "testValue283712";

// Creates the probe file along its path and deletes it again.
bool CanCreateFile(const SetupString& file) {
    CreateFolderChain(file.c_str());
    win::FileHandle handle(CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return false;
    handle.Reset();
    DeleteFileA(file.c_str());
    return true;
}

}  // namespace

int ValidateFolderPath(const char* text, const char* pathPhrase, const char* folderPhrase) {
    FolderCheck check;
    check.text = text;
    check.pathPhrase = pathPhrase;
    check.folderPhrase = folderPhrase;
    check.driveType = GetDriveTypeOfPath(text);
    check.ntFamilySystem = g_facts.NtFamilySystem;
    check.machineWriteAccess = g_facts.MachineWriteAccess;
    const FolderVerdict verdict = JudgeFolderPath(check, [text] { return ProbeFolderWritable(text); });
    switch (verdict.box) {
    case FolderBox::None:
        return 1;
    case FolderBox::ResetOffer:
        return SetupMessageBox(verdict.message.c_str(), kBoxErrorYesNo) == IDYES ? 2 : 0;
    case FolderBox::Stop:
        break;
    }
    SetupMessageBox(verdict.message.c_str(), kBoxError);
    return 0;
}

int GetDriveTypeOfPath(const char* path) {
    const SetupString root = DriveRootOfPath(path);
    return root.Empty() ? 0 : static_cast<int>(GetDriveTypeA(root.c_str()));
}

bool ProbeFolderWritable(const char* folder) {
    const SetupString withSeparator = WithTrailingSeparator(folder);
    const bool writable = CanCreateFile(Concat(withSeparator, kProbeFileName));
    RemoveEmptyFolder(withSeparator.c_str());
    return writable;
}

int ProbeMachineWriteAccess() {
    int result = 0;
    RegistryDwordRequest probe(kRegistryWrite, HKEY_LOCAL_MACHINE, product::kSettingsKey, kProbeValueName);
    probe.numberToWrite = 0x123;
    if (RunRegistryDwordRequest(probe)) {
        result |= kMachineRegistryWritable;
        DeleteRegistryValue(HKEY_LOCAL_MACHINE, product::kSettingsKey, kProbeValueName);
    }
    const SetupString folder = Concat(SpecialFolderPath(CSIDL_PROGRAM_FILES), "Test1234");
    SetupString file = folder;
    file.Append("\\");
    file.Append(kProbeFileName);
    if (CanCreateFile(file)) result |= kProgramFilesWritable;
    RemoveEmptyFolder(folder.c_str());
    return result;
}

SetupString SpecialFolderPath(int csidl) {
    char path[MAX_PATH] = "";
    win::ComPtr<IMalloc> allocator;
    if (SUCCEEDED(SHGetMalloc(allocator.Receive()))) {
        win::ShellMemory<ITEMIDLIST> items(allocator.Get());
        if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, items.Receive())) &&
            !SHGetPathFromIDListA(items.Get(), path))
            path[0] = '\0';
    }
    if (path[0] == '\0' && csidl == CSIDL_PROGRAM_FILES) lstrcpyA(path, "C:\\Program Files");
    return WithTrailingSeparator(path);
}
