#include "payload_common.h"

#include <shellapi.h>

#include <vector>

#include "foundation/portable/product.h"

namespace payload {

namespace {

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

}  // namespace

win::RegKey OpenUserKey(const char* path, REGSAM access) {
    win::RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, access, key.Receive()) != ERROR_SUCCESS) key.Reset();
    return key;
}

bool ReadString(HKEY key, const char* name, std::string& out) {
    out.clear();
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) return false;
    std::vector<char> buffer(size + 1, '\0');
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    out.assign(buffer.data());  // stops at the terminator, present or not
    return true;
}

bool ReadDword(HKEY key, const char* name, DWORD& out) {
    DWORD type = 0;
    DWORD size = sizeof(out);
    return RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&out), &size) == ERROR_SUCCESS &&
           type == REG_DWORD && size == sizeof(out);
}

bool KeyIsEmpty(HKEY key) {
    DWORD subkeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                         nullptr) != ERROR_SUCCESS)
        return false;
    return subkeys == 0 && values == 0;
}

bool DeleteUserKeyIfEmpty(const char* path) {
    {
        const win::RegKey key = OpenUserKey(path, KEY_READ);
        if (!key || !KeyIsEmpty(key.Get())) return false;
    }
    return RegDeleteKeyA(HKEY_CURRENT_USER, path) == ERROR_SUCCESS;
}

std::vector<std::string> CommandLineArguments() {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    const win::LocalMemory block(wide);
    if (!wide) return args;
    for (int i = 1; i < count; ++i) {
        const int size = WideCharToMultiByte(CP_ACP, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(size > 0 ? size : 1, '\0');
        WideCharToMultiByte(CP_ACP, 0, wide[i], -1, &arg[0], size, nullptr, nullptr);
        arg.resize(arg.size() - 1);
        args.push_back(arg);
    }
    return args;
}

bool HasFlag(const std::vector<std::string>& args, const char* flag) {
    for (const std::string& arg : args)
        if (lstrcmpiA(arg.c_str(), flag) == 0) return true;
    return false;
}

std::string ModulePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::string();
        if (n < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::string FolderOf(const std::string& path) {
    const auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const char last = folder.back();
    return last == '\\' || last == '/' ? folder + name : folder + "\\" + name;
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool DeleteFileForce(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    constexpr DWORD kBlocking = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (attributes & kBlocking) SetFileAttributesA(path.c_str(), attributes & ~kBlocking);
    return DeleteFileA(path.c_str()) || !PathExists(path);
}

UINT CloseMessage() {
    static const UINT message = RegisterWindowMessageA(product::kCloseMessage);
    return message;
}

bool HandleCloseRequest(UINT message) {
    if (message == 0 || message != CloseMessage()) return false;
    // Collect first: destroying while enumerating would skip windows.
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND hwnd : windows)
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    PostQuitMessage(0);
    return true;
}

}  // namespace payload
