#include "driver.h"

#include <prsht.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <utility>

#include "foundation/portable/product.h"

namespace driver {

namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconId = 1088;

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    // WM_GETTEXT reaches windows of other processes; GetWindowText would not read their controls.
    char text[4096] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    return text;
}

bool IsDialog(HWND window) { return ClassOf(window) == "#32770"; }

bool IsWizard(HWND window) { return IsDialog(window) && GetDlgItem(window, kNext) != nullptr; }

bool IsMessageBox(HWND window) {
    return IsDialog(window) && !IsWizard(window) && GetDlgItem(window, kMessageTextId) != nullptr;
}

// Pixels of a 32 x 32 area drawn by `paint` into a memory bitmap.
template <typename Paint>
std::vector<COLORREF> Snapshot(Paint paint) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ old = SelectObject(memory, bitmap);
    paint(memory);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) pixels.push_back(GetPixel(memory, x, y));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

long Difference(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    long sum = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        sum += std::labs(static_cast<long>(GetRValue(a[i])) - GetRValue(b[i])) +
               std::labs(static_cast<long>(GetGValue(a[i])) - GetGValue(b[i])) +
               std::labs(static_cast<long>(GetBValue(a[i])) - GetBValue(b[i]));
    }
    return sum;
}

// Icon handles are not shared between processes, so the icon shown is compared
// by its pixels with the system icons drawn here on the same background.
IconKind IconOf(HWND box) {
    HWND icon = GetDlgItem(box, kMessageIconId);
    if (icon == nullptr || !IsWindowVisible(icon)) return IconKind::None;
    RECT area;
    GetWindowRect(icon, &area);
    // Another process's window DC cannot be read; the screen can.
    const std::vector<COLORREF> shown = Snapshot([&area](HDC target) {
        HDC screen = GetDC(nullptr);
        BitBlt(target, 0, 0, 32, 32, screen, area.left, area.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
    });
    const COLORREF background = shown.front();  // icon corners are transparent
    const struct {
        LPCSTR id;
        IconKind kind;
    } known[] = {{IDI_HAND, IconKind::Error},
                 {IDI_QUESTION, IconKind::Question},
                 {IDI_EXCLAMATION, IconKind::Warning},
                 {IDI_ASTERISK, IconKind::Information}};
    IconKind best = IconKind::Unknown;
    long bestDifference = 32L * 32 * 3 * 40;  // beyond this much the icon is none of them
    for (const auto& k : known) {
        const std::vector<COLORREF> drawn = Snapshot([&](HDC target) {
            HBRUSH brush = CreateSolidBrush(background);
            RECT all = {0, 0, 32, 32};
            FillRect(target, &all, brush);
            DeleteObject(brush);
            DrawIcon(target, 0, 0, LoadIconA(nullptr, k.id));
        });
        const long difference = Difference(shown, drawn);
        if (difference < bestDifference) {
            bestDifference = difference;
            best = k.kind;
        }
    }
    return best;
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) search->found.push_back(window);
    return TRUE;
}

}  // namespace

Process Process::Start(const std::string& exe, const std::string& arguments) {
    const std::string program = WinePath(exe);
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    Process process;
    if (CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        const win::KernelHandle thread(info.hThread);
        process.handle_.Reset(info.hProcess);
        process.id_ = info.dwProcessId;
        WaitForInputIdle(info.hProcess, 5000);
    }
    return process;
}

Process::Process(Process&& other) noexcept : handle_(std::move(other.handle_)), id_(std::exchange(other.id_, 0)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        if (Running()) Kill();
        handle_ = std::move(other.handle_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

Process::~Process() {
    // A test that failed half-way must not leave its program running into the next one.
    if (Running()) Kill();
}

bool Process::WaitForExit(DWORD timeoutMs) {
    return handle_ && WaitForSingleObject(handle_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

bool Process::Running() const { return handle_ && WaitForSingleObject(handle_.Get(), 0) == WAIT_TIMEOUT; }

DWORD Process::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (handle_) GetExitCodeProcess(handle_.Get(), &code);
    return code;
}

void Process::Kill() {
    if (!handle_) return;
    TerminateProcess(handle_.Get(), 1);
    WaitForSingleObject(handle_.Get(), 5000);
}

std::vector<HWND> Process::Windows() const {
    WindowSearch search{id_, {}};
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Process::WaitForWizard(DWORD timeoutMs) const {
    HWND wizard = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : Windows()) {
                if (IsWizard(window) && TextOf(window) == product::kSetupCaption) wizard = window;
            }
            return wizard != nullptr || !Running();
        },
        timeoutMs);
    return wizard;
}

MessageBoxInfo Process::CurrentMessageBox() const {
    for (HWND window : Windows()) {
        if (IsMessageBox(window)) return ReadMessageBox(window);
    }
    return MessageBoxInfo();
}

MessageBoxInfo Process::WaitForMessageBox(DWORD timeoutMs) const {
    MessageBoxInfo info;
    WaitUntil(
        [&] {
            info = CurrentMessageBox();
            return info.window != nullptr || !Running();
        },
        timeoutMs);
    return info;
}

MessageBoxInfo ReadMessageBox(HWND box) {
    MessageBoxInfo info;
    info.window = box;
    info.caption = TextOf(box);
    info.text = TextOf(GetDlgItem(box, kMessageTextId));
    // The box may not have painted itself yet.
    WaitUntil([&] { return (info.icon = IconOf(box)) != IconKind::Unknown; }, 2000);
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        HWND button = GetDlgItem(box, id);
        if (button != nullptr && IsWindowVisible(button)) info.buttons.push_back(id);
    }
    return info;
}

void ClickButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

HWND CurrentPage(HWND wizard) {
    DWORD_PTR page = 0;
    SendMessageTimeoutA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, 2000, &page);
    return reinterpret_cast<HWND>(page);
}

int CurrentPageId(HWND wizard) {
    HWND page = CurrentPage(wizard);
    if (page == nullptr) return 0;
    DWORD_PTR index = 0;
    DWORD_PTR id = 0;
    SendMessageTimeoutA(wizard, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0, SMTO_ABORTIFHUNG, 2000, &index);
    SendMessageTimeoutA(wizard, PSM_INDEXTOID, index, 0, SMTO_ABORTIFHUNG, 2000, &id);
    return static_cast<int>(id);
}

void PressWizardButton(HWND wizard, int psbtn) { PostMessageA(wizard, PSM_PRESSBUTTON, psbtn, 0); }

bool IsControlEnabled(HWND parent, int id) {
    HWND control = GetDlgItem(parent, id);
    return control != nullptr && IsWindowEnabled(control);
}

bool WaitForPage(HWND wizard, int pageId, DWORD timeoutMs) {
    return WaitUntil([&] { return CurrentPageId(wizard) == pageId; }, timeoutMs);
}

bool IsWizardButtonEnabled(HWND wizard, WizardButton button) {
    HWND control = GetDlgItem(wizard, button);
    return control != nullptr && IsWindowVisible(control) && IsWindowEnabled(control);
}

int CheckState(HWND parent, int id) {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(GetDlgItem(parent, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    return static_cast<int>(state);
}

void ClickControl(HWND parent, int id) { PostMessageA(GetDlgItem(parent, id), BM_CLICK, 0, 0); }

std::string ResourceString(const std::string& exe, int id) {
    HMODULE module = LoadLibraryExA(WinePath(exe).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return std::string();
    char text[1024] = "";
    LoadStringA(module, static_cast<UINT>(id), text, sizeof text);
    FreeLibrary(module);
    return text;
}

std::string ControlText(HWND parent, int id) { return TextOf(GetDlgItem(parent, id)); }

void SetControlText(HWND parent, int id, const std::string& text) {
    SendMessageTimeoutA(GetDlgItem(parent, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
}

bool WaitForPostedMessages(HWND window, DWORD timeoutMs) {
    // Posted messages come before paint messages: once the invalidated frame has painted, every message
    // posted before it has been handled, and so has every one that those posted in turn.
    if (!RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN)) return false;
    return WaitUntil([&] { return !IsWindow(window) || !GetUpdateRect(window, nullptr, FALSE); }, timeoutMs) &&
           IsWindow(window);
}

void CloseApplication() {
    if (FindWindowA(product::kMainWindowClass, nullptr) == nullptr) return;
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA(product::kCloseMessage), 1, 0);
    WaitUntil([] { return FindWindowA(product::kMainWindowClass, nullptr) == nullptr; }, 5000);
}

std::string WinePath(const std::string& unixPath) {
    if (unixPath.empty() || unixPath[0] != '/') return unixPath;
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::string BuiltFile(const char* variable) {
    const char* value = std::getenv(variable);
    return value ? WinePath(value) : std::string();
}

std::string TempFolder() {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    return temp;
}

std::string ParentOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

std::string Join(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

bool MakeFolders(const std::string& folder) {
    SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    return IsFolder(folder);
}

std::string ScratchFolder(const char* name) {
    std::string folder = TempFolder() + name;
    RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void RemoveTree(const std::string& folder) {
    std::string from = folder;
    from.push_back('\0');  // the shell takes a double-terminated list
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationA(&operation);
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string LongControlText(HWND parent, int id) {
    const LRESULT length = SendControlMessage(parent, id, WM_GETTEXTLENGTH);
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    SendControlMessage(parent, id, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

std::vector<std::string> Process::LoadedModules() const {
    std::vector<HMODULE> modules(512);
    DWORD needed = 0;
    if (!EnumProcessModules(handle_.Get(), modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)),
                            &needed))
        return {};
    modules.resize(std::min<size_t>(modules.size(), needed / sizeof(HMODULE)));
    std::vector<std::string> paths;
    for (HMODULE module : modules) {
        char path[MAX_PATH];
        if (GetModuleFileNameExA(handle_.Get(), module, path, MAX_PATH) > 0) paths.emplace_back(path);
    }
    return paths;
}

LRESULT SendWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result)) return 0;
    return static_cast<LRESULT>(result);
}

LRESULT SendControlMessage(HWND parent, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendWindowMessage(GetDlgItem(parent, id), message, wParam, lParam);
}

bool WriteFileText(const std::string& path, const std::string& bytes) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    win::FileHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool LayFile(const std::string& path, const std::string& bytes) {
    return MakeFolders(ParentOf(path)) && WriteFileText(path, bytes);
}

namespace {

// Blocks that Wine's path conversions allocate.
struct HeapBlockFree {
    void operator()(void* block) const { HeapFree(GetProcessHeap(), 0, block); }
};

using UnixNameOf = char*(CDECL*)(LPCWSTR);
using DosNameOf = WCHAR*(CDECL*)(LPCSTR);

template <typename Function>
Function WineFunction(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

std::string UnixPath(const std::string& path) {
    WCHAR wide[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) == 0) return std::string();
    const std::unique_ptr<char, HeapBlockFree> name(WineFunction<UnixNameOf>("wine_get_unix_file_name")(wide));
    return name ? std::string(name.get()) : std::string();
}

// Starts a unix program with the arguments; Wine runs it but gives no handle to wait for.
bool StartUnixProgram(const char* program, const std::vector<std::string>& arguments) {
    const auto dosNameOf = WineFunction<DosNameOf>("wine_get_dos_file_name");
    if (dosNameOf == nullptr) return false;
    const std::unique_ptr<WCHAR, HeapBlockFree> dosName(dosNameOf(program));
    if (!dosName) return false;
    std::string command = program;
    for (const std::string& argument : arguments) command += " \"" + argument + "\"";
    std::vector<WCHAR> wide(command.size() + 1);
    MultiByteToWideChar(CP_ACP, 0, command.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(dosName.get(), wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    const win::KernelHandle thread(process.hThread);
    const win::KernelHandle started(process.hProcess);
    return true;
}

}  // namespace

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool UnderWine() { return WineFunction<UnixNameOf>("wine_get_unix_file_name") != nullptr; }

bool IsReparsePoint(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool MakeFolderLink(const std::string& link, const std::string& target) {
    return UnderWine() && StartUnixProgram("/bin/ln", {"-s", UnixPath(target), UnixPath(link)}) &&
           WaitUntil([&] { return IsReparsePoint(link); }, 5000);
}

void RemoveTreeWithLinks(const std::string& folder) {
    if (UnderWine() && IsFolder(folder) && StartUnixProgram("/bin/rm", {"-rf", UnixPath(folder)}))
        WaitUntil([&] { return !IsFolder(folder); }, 5000);
    RemoveTree(folder);
}

}  // namespace driver
