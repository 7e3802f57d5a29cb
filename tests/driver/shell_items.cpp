#include "shell_items.h"

#include <windows.h>
#include <shlobj.h>

#include "driver.h"
#include "foundation/win_handles.h"

namespace driver {

namespace {

// COM for the calling thread while it lives (a thread that has it already keeps it).
class ComUser {
public:
    ComUser() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComUser(const ComUser&) = delete;
    ComUser& operator=(const ComUser&) = delete;
    ~ComUser() {
        if (initialized_) CoUninitialize();
    }

private:
    bool initialized_;
};

std::wstring Wide(const std::string& text) {
    WCHAR wide[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, MAX_PATH);
    return wide;
}

}  // namespace

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string LinkTarget(const std::string& link) {
    const ComUser com;
    win::ComPtr<IShellLinkA> shellLink;
    win::ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                shellLink.ReceiveVoid())) ||
        FAILED(shellLink->QueryInterface(IID_IPersistFile, file.ReceiveVoid())))
        return "<no link object>";
    if (FAILED(file->Load(Wide(link).c_str(), STGM_READ))) return "<unreadable>";
    char target[MAX_PATH] = "";
    if (FAILED(shellLink->GetPath(target, MAX_PATH, nullptr, 0))) return "<no target>";
    return target;
}

bool CreateLink(const std::string& link, const std::string& target) {
    const ComUser com;
    SHCreateDirectoryExA(nullptr, ParentOf(link).c_str(), nullptr);
    win::ComPtr<IShellLinkA> shellLink;
    win::ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                shellLink.ReceiveVoid())) ||
        FAILED(shellLink->SetPath(target.c_str())) ||
        FAILED(shellLink->QueryInterface(IID_IPersistFile, file.ReceiveVoid())) ||
        FAILED(file->Save(Wide(link).c_str(), TRUE)))
        return false;
    return FileExists(link);
}

}  // namespace driver
