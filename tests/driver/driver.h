// Drives the real setup.exe from a second process: starts it, finds its wizard
// and message boxes, reads and presses their controls, and waits for the
// process to end; and the scratch files and folders the tests lay out.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "foundation/win_handles.h"

namespace driver {

constexpr DWORD kDefaultTimeoutMs = 15000;

enum class IconKind { None, Error, Question, Warning, Information, Unknown };

struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    IconKind icon = IconKind::None;
    std::vector<int> buttons;  ///< ids of the visible buttons (IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7...)
};

/// One run of a program under test.
class Process {
public:
    /// Starts `exe` with `arguments` (a Windows path; unix paths are turned into Z: paths).
    static Process Start(const std::string& exe, const std::string& arguments);
    Process() = default;
    Process(Process&& other) noexcept;
    /// Ends the program this one still runs before taking over the other.
    Process& operator=(Process&& other) noexcept;
    ~Process();

    bool Started() const { return handle_.Valid(); }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return handle_.Get(); }
    bool WaitForExit(DWORD timeoutMs = kDefaultTimeoutMs);
    bool Running() const;
    DWORD ExitCode() const;
    void Kill();

    /// Top-level visible windows of this process.
    std::vector<HWND> Windows() const;
    /// The wizard frame (a property sheet with the setup caption), or null after the timeout.
    HWND WaitForWizard(DWORD timeoutMs = kDefaultTimeoutMs) const;
    /// The first message box of this process, or an info with a null window after the timeout.
    MessageBoxInfo WaitForMessageBox(DWORD timeoutMs = kDefaultTimeoutMs) const;
    /// Any message box of this process right now.
    MessageBoxInfo CurrentMessageBox() const;
    /// Full paths of the modules (the program and its DLLs) loaded in this process right now.
    std::vector<std::string> LoadedModules() const;

private:
    win::KernelHandle handle_;
    DWORD id_ = 0;
};

/// Reads caption, text, icon and buttons of a message box window.
MessageBoxInfo ReadMessageBox(HWND box);
/// Clicks a button of a dialog (message box or page) without waiting for the receiver.
void ClickButton(HWND dialog, int id);

// The wizard.
/// Resource id of the current page's dialog template (IDD_WELCOME ... IDD_FINISHED), or 0.
int CurrentPageId(HWND wizard);
HWND CurrentPage(HWND wizard);
/// Presses a wizard button: PSBTN_BACK, PSBTN_NEXT, PSBTN_FINISH, PSBTN_CANCEL.
void PressWizardButton(HWND wizard, int psbtn);
bool IsControlEnabled(HWND parent, int id);
/// Waits until the current page's id is `pageId`.
bool WaitForPage(HWND wizard, int pageId, DWORD timeoutMs = kDefaultTimeoutMs);
std::string ControlText(HWND parent, int id);
void SetControlText(HWND parent, int id, const std::string& text);

/// Wizard button ids on the frame: Back 0x3023, Next 0x3024, Finish 0x3025, Cancel IDCANCEL.
enum WizardButton { kBack = 0x3023, kNext = 0x3024, kFinish = 0x3025, kCancel = IDCANCEL };
bool IsWizardButtonEnabled(HWND wizard, WizardButton button);
/// State of a check box or radio button (BST_CHECKED...).
int CheckState(HWND parent, int id);
/// Clicks a control the way a user does (BM_CLICK, posted so that a box it opens does not block the driver).
void ClickControl(HWND parent, int id);
/// Loads string `id` from the string table of `exe` (e.g. the header titles of the pages).
std::string ResourceString(const std::string& exe, int id);

/// Waits until the thread of `window` has handled every message posted to it so far (the setup posts its
/// button changes and page moves): a window is repainted only once none is left. False when the window is gone.
bool WaitForPostedMessages(HWND window, DWORD timeoutMs = kDefaultTimeoutMs);

/// Asks every running copy of the application (or its stand-in) to close and waits until none is left.
void CloseApplication();

/// Polls `condition` every 20 ms until it holds or the timeout runs out.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = kDefaultTimeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

/// Windows path of a built file named by an environment variable (a unix path set by ctest).
std::string BuiltFile(const char* variable);
std::string WinePath(const std::string& unixPath);
/// The user's temporary folder, with a trailing separator.
std::string TempFolder();
/// `path` without its last part.
std::string ParentOf(const std::string& path);
/// `folder` and `name` with a separator between.
std::string Join(const std::string& folder, const std::string& name);
/// Makes `folder` and the folders above it that are missing; true when it is there afterwards.
bool MakeFolders(const std::string& folder);
/// A fresh empty folder below the temporary folder.
std::string ScratchFolder(const char* name);
void RemoveTree(const std::string& folder);
bool FileExists(const std::string& path);
bool IsFolder(const std::string& path);
std::string ReadFileText(const std::string& path);
/// Replaces the file's bytes (also a hidden or read-only file); false when it cannot be written.
bool WriteFileText(const std::string& path, const std::string& bytes);
/// WriteFileText, making the folders the file lies in first.
bool LayFile(const std::string& path, const std::string& bytes);

// Links to folders. Wine 8 makes none of its own (CreateSymbolicLinkA succeeds and makes nothing,
// FSCTL_SET_REPARSE_POINT is not supported), but it shows a unix link to a folder as a reparse point:
// the links are unix links, made by the unix programs that Wine starts on request.
/// True under Wine, where folder links can be made.
bool UnderWine();
/// True when `path` (without a trailing separator) is a reparse point: a link or a junction.
bool IsReparsePoint(const std::string& path);
/// Makes `link` a link to the folder `target`; true once it shows as a reparse point.
bool MakeFolderLink(const std::string& link, const std::string& target);
/// RemoveTree for a folder that may hold links: they go, and what they point at stays.
void RemoveTreeWithLinks(const std::string& folder);

/// The whole text of a control however long (ControlText stops at 4095 characters).
std::string LongControlText(HWND parent, int id);
/// Sends `message` to a window of another process and returns its result (0 when it does not answer).
LRESULT SendWindowMessage(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
/// Sends `message` to control `id` and returns its result (0 when the control does not answer).
LRESULT SendControlMessage(HWND parent, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

}  // namespace driver
