// End to end, under Wine: the package's own uninstaller on an installation laid
// out as the setup leaves it, the stand-in of the 1.2.2 uninstaller on that
// version's layout, and kvr.exe showing the configuration.
//
// Environment (unix paths): KVR_PACKAGE_LIST, the packer's list of resource 135;
// KVR_PAYLOAD_BIN, the folder of the built payload programs.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "driver.h"
#include "foundation/product.h"
#include "integration/referrer_scramble.h"

namespace {

constexpr char kVendorKey[] = "Software\\from Ostrevik";

std::string WinePath(const char* unix_path) {
    std::string path = std::string("Z:") + unix_path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string EnvPath(const char* name) {
    const char* value = std::getenv(name);
    return value ? WinePath(value) : std::string();
}

std::string Join(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFolders(const std::string& folder) { SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr); }

std::string ParentOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

void WriteText(const std::string& path, const std::string& text) {
    MakeFolders(ParentOf(path));
    std::ofstream(path, std::ios::binary) << text;
}

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

bool KeyExists(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void SetString(const char* path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void SetDword(const char* path, const char* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

bool ValueExists(const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    const bool found = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

std::string GetString(const char* path, const char* name) {
    char buffer[1024] = "";
    DWORD size = sizeof buffer;
    RegGetValueA(HKEY_CURRENT_USER, path, name, RRF_RT_REG_SZ, nullptr, buffer, &size);
    return buffer;
}

// A real shell link, as the setup makes them.
void CreateLink(const std::string& link, const std::string& target) {
    MakeFolders(ParentOf(link));
    IShellLinkA* shell_link = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                           reinterpret_cast<void**>(&shell_link))));
    shell_link->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shell_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
        file->Save(wide, TRUE);
        file->Release();
    }
    shell_link->Release();
    ASSERT_TRUE(Exists(link)) << link;
}

// Starts a program; `wait_ms` 0 returns at once. Returns false when it cannot start.
bool StartProgram(std::string command_line, DWORD wait_ms, DWORD* elapsed_ms = nullptr, DWORD* process_id = nullptr) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const DWORD start = GetTickCount();
    if (!CreateProcessA(nullptr, &command_line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process_id) *process_id = process.dwProcessId;
    if (wait_ms) WaitForSingleObject(process.hProcess, wait_ms);
    if (elapsed_ms) *elapsed_ms = GetTickCount() - start;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeout_ms) return false;
        Sleep(50);
    }
    return true;
}

// The message box that process `process_id` shows, or null.
HWND MessageBoxOf(DWORD process_id) {
    std::pair<DWORD, HWND> search{process_id, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL CALLBACK {
            auto* wanted = reinterpret_cast<std::pair<DWORD, HWND>*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[16] = "";
            GetClassNameA(window, name, sizeof name);
            if (owner != wanted->first || std::string(name) != "#32770" || !IsWindowVisible(window)) return TRUE;
            wanted->second = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// What temporary copies of the uninstaller leave in the temporary folder: the folders made for them, and any
// program lying in the temporary folder itself.
std::set<std::string> TemporaryCopies(const std::string& temp) {
    std::set<std::string> names;
    for (const char* pattern : {"kvruninst-*", "*.exe"}) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(Join(temp, pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        do names.insert(found.cFileName);
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return names;
}

// A scratch area below the temporary folder, and a clean vendor key, for each test.
class UserAccount : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        temp_ = temp;
        temp_.pop_back();
        root_ = Join(temp_, "kvr_e2e_" + std::to_string(GetCurrentProcessId()));
        SHDeleteKeyA(HKEY_CURRENT_USER, kVendorKey);
        SHDeleteKeyA(HKEY_CURRENT_USER, product::kUninstallKey);
    }
    void TearDown() override {
        // A copy of the application that a failed test left running would hold its files.
        PostMessageA(HWND_BROADCAST, RegisterWindowMessageA(product::kCloseMessage), 1, 0);
        WaitUntil([] { return FindWindowA(product::kMainWindowClass, nullptr) == nullptr; }, 5000);
        std::string from = root_ + std::string(2, '\0');
        SHFILEOPSTRUCTA operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        SHFileOperationA(&operation);
        SHDeleteKeyA(HKEY_CURRENT_USER, kVendorKey);
        SHDeleteKeyA(HKEY_CURRENT_USER, product::kUninstallKey);
        CoUninitialize();
    }
    std::string temp_;
    std::string root_;
};

// An installation of 1.2.3 as the setup leaves it.
class Installed : public UserAccount {
protected:
    void SetUp() override {
        UserAccount::SetUp();
        program_ = Join(root_, "Program Files\\Korvane");
        data_ = Join(root_, "My Music\\Korvane");
        start_menu_ =
            Join(SpecialFolder(CSIDL_PROGRAMS), "Korvane e2e " + std::to_string(GetCurrentProcessId())) + "\\";
        desktop_link_ = Join(SpecialFolder(CSIDL_DESKTOPDIRECTORY), "Korvane.lnk");
        quick_launch_link_ =
            Join(SpecialFolder(CSIDL_APPDATA), "Microsoft\\Internet Explorer\\Quick Launch\\Korvane.lnk");

        const std::string list = EnvPath("KVR_PACKAGE_LIST");
        ASSERT_FALSE(list.empty()) << "KVR_PACKAGE_LIST is not set";
        std::ifstream lines(list);
        ASSERT_TRUE(lines) << list;
        for (std::string line; std::getline(lines, line);) {
            const auto tab = line.find('\t');
            ASSERT_NE(tab, std::string::npos) << line;
            const std::string name = line.substr(0, tab);
            const std::string target = Join(program_, name);
            MakeFolders(ParentOf(target));
            ASSERT_TRUE(CopyFileA(WinePath(line.substr(tab + 1).c_str()).c_str(), target.c_str(), FALSE)) << name;
            if (files_.empty()) {
                ASSERT_TRUE(CopyFileA(target.c_str(), Join(program_, "__cdcb.lx").c_str(), FALSE));
                SetFileAttributesA(Join(program_, "__cdcb.lx").c_str(), FILE_ATTRIBUTE_HIDDEN);
                SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
            }
            files_.push_back(name);
        }
        ASSERT_EQ(files_.size(), 101u);

        WriteText(Join(data_, "2010-05-01 20-00 Radio.wav"), "RIFF recording");
        WriteText(Join(data_, "schedule.txt"), "Sat 20:00 60 min Radio\n");

        const std::string exe = Join(program_, product::kMainExecutable);
        CreateLink(start_menu_ + "Korvane.lnk", exe);
        CreateLink(start_menu_ + "Manual.lnk", Join(program_, product::kManualPage));
        CreateLink(start_menu_ + "Quick Hardware Setup.lnk", Join(program_, product::kQuickSetupPage));
        CreateLink(start_menu_ + "Uninstall.lnk", Join(program_, product::kUninstaller));
        CreateLink(desktop_link_, exe);
        CreateLink(quick_launch_link_, exe);

        const char* settings = product::kSettingsKey;
        for (const char* name : {"SetupPlbkRcFldr", "SetupSchdRcFldr"}) SetString(settings, name, data_);
        for (const char* name : {"SetupLogFldr", "InstallFolder"}) SetString(settings, name, program_);
        for (const char* name : {"LRplbk", "LRschd", "rf2", "rf3"}) SetString(settings, name, "");
        SetString(settings, "ver", product::kVersion);
        SetString(settings, "rf1", ScrambleReferrerText("partner-site"));
        SetString(settings, "instOSMP", start_menu_);
        const std::pair<const char*, DWORD> dwords[] = {
            {"nshbt0", 2},         {"SetupWIChnls", 2},     {"SetupWISmpSz", 16},       {"SetupWISmpRt", 44100},
            {"SetupSchdRcChn", 2}, {"SetupSchdRcSmSz", 16}, {"SetupSchdRcSmRt", 44100}, {"SetupSchdRcSAI", 1},
            {"SetupRcCdcType", 0}, {"WOVol", 0x3FFF},       {"SetupSTAS", 0},
        };
        for (const auto& [name, value] : dwords) SetDword(settings, name, value);
        // The setup leaves the installer key behind, emptied.
        SetString(product::kInstallerKey, "Referrer", "x");
        HKEY installer = nullptr;
        RegOpenKeyExA(HKEY_CURRENT_USER, product::kInstallerKey, 0, KEY_WRITE, &installer);
        RegDeleteValueA(installer, "Referrer");
        RegCloseKey(installer);

        const char* uninstall = product::kUninstallKey;
        SetString(uninstall, "DisplayName", product::kName);
        SetString(uninstall, "UninstallString", Join(program_, product::kUninstaller));
        SetString(uninstall, "DisplayVersion", product::kVersion);
    }
    void TearDown() override {
        // Below the Programs folder of the prefix, not the scratch area: a refused removal leaves it.
        driver::RemoveTree(StartMenuFolder());
        UserAccount::TearDown();
    }

    std::string StartMenuFolder() const { return start_menu_.substr(0, start_menu_.size() - 1); }

    // Runs the uninstaller as Add/Remove Programs would, silently, and waits until
    // its temporary copy has finished (it removes the uninstall entry last).
    // What the temporary copy left meanwhile is collected in new_copies_ (true: it held the copy when seen).
    void Uninstall() {
        before_copies_ = TemporaryCopies(temp_);
        const std::string command = "\"" + GetString(product::kUninstallKey, "UninstallString") + "\" /S";
        ASSERT_TRUE(StartProgram(command, 10000)) << command;
        ASSERT_TRUE(WaitUntil(
            [&] {
                for (const std::string& name : TemporaryCopies(temp_)) {
                    if (before_copies_.count(name) != 0) continue;
                    new_copies_[name] |= Exists(Join(Join(temp_, name), product::kUninstaller));
                }
                return !KeyExists(product::kUninstallKey);
            },
            20000))
            << "the removal did not finish";
    }

    std::string program_, data_, start_menu_, desktop_link_, quick_launch_link_;
    std::vector<std::string> files_;
    std::set<std::string> before_copies_;
    std::map<std::string, bool> new_copies_;
};

TEST_F(Installed, SilentUninstallLeavesOnlyTheRecordings) {
    ASSERT_TRUE(StartProgram("\"" + Join(program_, product::kMainExecutable) + "\"", 0));
    ASSERT_TRUE(WaitUntil([] { return FindWindowA(product::kMainWindowClass, nullptr) != nullptr; }, 10000));

    Uninstall();

    EXPECT_EQ(FindWindowA(product::kMainWindowClass, nullptr), nullptr) << "the running copy was not closed";
    EXPECT_FALSE(Exists(program_)) << "program folder left behind";
    for (const std::string& name : files_) EXPECT_FALSE(Exists(Join(program_, name))) << name;
    EXPECT_FALSE(Exists(Join(program_, "__cdcb.lx")));
    EXPECT_TRUE(Exists(Join(root_, "Program Files"))) << "the parent of the program folder is not ours";

    EXPECT_TRUE(Exists(Join(data_, "2010-05-01 20-00 Radio.wav")));
    EXPECT_TRUE(Exists(Join(data_, "schedule.txt")));

    EXPECT_FALSE(Exists(start_menu_)) << "Start Menu folder left behind";
    EXPECT_FALSE(Exists(desktop_link_));
    EXPECT_FALSE(Exists(quick_launch_link_));
    EXPECT_TRUE(Exists(ParentOf(quick_launch_link_))) << "Quick Launch itself is not ours";

    EXPECT_FALSE(KeyExists(product::kUninstallKey));
    EXPECT_FALSE(KeyExists(product::kSettingsKey));
    EXPECT_FALSE(KeyExists(kVendorKey)) << "empty vendor keys left behind";

    // The temporary copy ran from a new folder of its own, and deletes itself and that folder shortly after it
    // ends.
    ASSERT_EQ(new_copies_.size(), 1u) << "one folder for the copy, and no program in the temporary folder itself";
    EXPECT_EQ(new_copies_.begin()->first.rfind("kvruninst-", 0), 0u) << new_copies_.begin()->first;
    EXPECT_TRUE(new_copies_.begin()->second) << "the copy was not seen in its folder";
    EXPECT_TRUE(WaitUntil([&] { return TemporaryCopies(temp_).size() <= before_copies_.size(); }, 10000))
        << "temporary copy of the uninstaller left in " << temp_;
}

// The scheduler is asked to close as the recorder is, and its file goes with the others.
TEST_F(Installed, SilentUninstallClosesARunningScheduler) {
    ASSERT_TRUE(StartProgram("\"" + Join(program_, "kvrsched.exe") + "\"", 0));
    ASSERT_TRUE(WaitUntil([] { return FindWindowA("KorvaneSchedulerWnd", nullptr) != nullptr; }, 10000));

    Uninstall();

    EXPECT_EQ(FindWindowA("KorvaneSchedulerWnd", nullptr), nullptr) << "the running scheduler was not closed";
    EXPECT_FALSE(Exists(Join(program_, "kvrsched.exe")));
    EXPECT_FALSE(Exists(program_)) << "program folder left behind";
}

TEST_F(Installed, AnsweringNoToTheConfirmationRemovesNothing) {
    DWORD process_id = 0;
    ASSERT_TRUE(StartProgram("\"" + Join(program_, product::kUninstaller) + "\"", 0, nullptr, &process_id));
    HWND question = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (question = MessageBoxOf(process_id)) != nullptr; }, 10000))
        << "no confirmation";
    SendMessageA(GetDlgItem(question, IDNO), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return MessageBoxOf(process_id) == nullptr; }, 5000));
    Sleep(1000);  // time enough for a removal that should not happen

    for (const std::string& name : files_) EXPECT_TRUE(Exists(Join(program_, name))) << name;
    EXPECT_TRUE(KeyExists(product::kUninstallKey));
    EXPECT_TRUE(ValueExists(product::kSettingsKey, "ver"));
    EXPECT_TRUE(Exists(desktop_link_));
}

struct ForeignItem {
    const char* file;                    // a file of the user's, below the program folder
    std::vector<const char*> survivors;  // folders that must stay because of it
};

class InstalledWithForeignFile : public Installed, public ::testing::WithParamInterface<ForeignItem> {};

TEST_P(InstalledWithForeignFile, KeepsTheFileAndTheFoldersAboveIt) {
    const ForeignItem& item = GetParam();
    WriteText(Join(program_, item.file), "mine");
    // Settings the application added later are the user's too.
    SetString(product::kSettingsKey, "UserSkin", "dark");

    Uninstall();

    EXPECT_TRUE(Exists(Join(program_, item.file)));
    for (const char* folder : item.survivors) EXPECT_TRUE(Exists(Join(program_, folder))) << folder;
    for (const std::string& name : files_) EXPECT_FALSE(Exists(Join(program_, name))) << name;
    EXPECT_FALSE(Exists(Join(program_, "Quick Setup\\pics")));
    EXPECT_TRUE(ValueExists(product::kSettingsKey, "UserSkin"));
    EXPECT_FALSE(ValueExists(product::kSettingsKey, "ver"));
    EXPECT_FALSE(ValueExists(product::kSettingsKey, "instOSMP"));
    EXPECT_FALSE(KeyExists(product::kUninstallKey));
}

INSTANTIATE_TEST_SUITE_P(Cases, InstalledWithForeignFile,
                         ::testing::Values(ForeignItem{"my notes.txt", {"."}},
                                           ForeignItem{"Manual\\pics\\holiday.png", {".", "Manual", "Manual\\pics"}}));

// A record that does not lead to this installation: the uninstaller removes nothing, not even the
// registry entries, and says why (silently: no box, only its exit code).
TEST_F(Installed, ARecordThatLeadsElsewhereRemovesNothing) {
    const std::string mine = Join(root_, "My Files");
    const std::pair<const char*, const char*> my_files[] = {
        {product::kManualPage, "my own page"}, {"kvrcore.dll", "my own library"}, {"notes.txt", "mine"}};
    for (const auto& [name, text] : my_files) WriteText(Join(mine, name), text);
    const std::string original = Join(program_, product::kUninstaller);
    const std::string copy_in_mine = Join(mine, product::kUninstaller);
    const std::string loose_copy = Join(root_, "copy of uninst_kvr.exe");
    ASSERT_TRUE(CopyFileA(original.c_str(), loose_copy.c_str(), FALSE));
    const std::string not_this = "The recorded program folder does not hold this uninstaller:\n\n";
    const std::string not_program = "The recorded program folder does not hold the program:\n\n";
    const std::string nothing = "\n\nNothing was removed.";
    struct Case {
        const char* name;
        const char* recorded;  // the InstallFolder value; null: none
        std::string program;   // what is started
        std::string arguments;
        std::string message;
    } cases[] = {
        {"a record of the user's folder", mine.c_str(), original, "", not_this + mine + nothing},
        {"the user's folder with a copy of the uninstaller but no program", mine.c_str(), copy_in_mine, "",
         not_program + mine + nothing},
        {"a copy asked to remove the user's folder", program_.c_str(), loose_copy, "/remove \"" + mine + "\"",
         not_this + program_ + nothing},
        {"no record", nullptr, original, "", "No program folder of Korvane is recorded for this user." + nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.program == copy_in_mine) {
            ASSERT_TRUE(CopyFileA(original.c_str(), copy_in_mine.c_str(), FALSE));
        }
        if (c.recorded)
            SetString(product::kSettingsKey, "InstallFolder", c.recorded);
        else
            SHDeleteValueA(HKEY_CURRENT_USER, product::kSettingsKey, "InstallFolder");
        const std::set<std::string> copies = TemporaryCopies(temp_);

        driver::Process silent = driver::Process::Start(c.program, c.arguments + " /S");
        ASSERT_TRUE(silent.WaitForExit(10000));
        EXPECT_NE(silent.ExitCode(), 0u);
        driver::Process asked = driver::Process::Start(c.program, c.arguments);
        const driver::MessageBoxInfo box = asked.WaitForMessageBox();
        ASSERT_NE(box.window, nullptr) << "no message";
        EXPECT_EQ(box.text, c.message);
        EXPECT_EQ(box.icon, driver::IconKind::Error);
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        driver::ClickButton(box.window, IDOK);
        ASSERT_TRUE(asked.WaitForExit(10000));
        EXPECT_NE(asked.ExitCode(), 0u);
        Sleep(1000);  // time enough for a removal that should not happen

        EXPECT_EQ(TemporaryCopies(temp_), copies) << "the work was handed over";
        for (const auto& [name, text] : my_files) EXPECT_EQ(driver::ReadFileText(Join(mine, name)), text) << name;
        for (const std::string& name : files_) EXPECT_TRUE(Exists(Join(program_, name))) << name;
        for (const char* link : {"Korvane.lnk", "Uninstall.lnk"}) EXPECT_TRUE(Exists(start_menu_ + link)) << link;
        EXPECT_TRUE(Exists(desktop_link_));
        EXPECT_TRUE(KeyExists(product::kUninstallKey));
        EXPECT_TRUE(ValueExists(product::kSettingsKey, "ver"));
        EXPECT_TRUE(ValueExists(product::kSettingsKey, "instOSMP"));
        DeleteFileA(copy_in_mine.c_str());
    }
    SetString(product::kSettingsKey, "InstallFolder", program_);
}

// The record of the program folder may be spelt otherwise than the folder the uninstaller runs from.
TEST_F(Installed, ARecordSpeltOtherwiseStillLeadsHere) {
    const std::string spelt = Join(ParentOf(program_), ".\\KORVANE\\");
    SetString(product::kSettingsKey, "InstallFolder", spelt);

    Uninstall();

    EXPECT_FALSE(Exists(program_));
    EXPECT_FALSE(Exists(start_menu_));
}

struct OutsideMenu {
    const char* name;
    int csidl;             // the shell folder the record names, or -1 for a folder of the scratch area
    const char* relative;  // what follows it in the record
};

void PrintTo(const OutsideMenu& menu, std::ostream* out) { *out << menu.name; }

// The record of the Start Menu folder names one outside the Programs folder, or Startup, holding links of the
// user's with the names of ours: they stay, and the rest of the removal goes ahead.
class InstalledWithOutsideStartMenu : public Installed, public ::testing::WithParamInterface<OutsideMenu> {
protected:
    void TearDown() override {
        for (const std::string& link : planted_) DeleteFileA(link.c_str());
        Installed::TearDown();
    }
    std::vector<std::string> planted_;
};

TEST_P(InstalledWithOutsideStartMenu, LeavesTheLinksThere) {
    const OutsideMenu& menu = GetParam();
    const std::string base = menu.csidl < 0 ? Join(root_, "My Links") : SpecialFolder(menu.csidl);
    const std::string recorded = base + "\\" + menu.relative;
    MakeFolders(base);
    for (const char* link : {"Uninstall.lnk", "Manual.lnk"}) {
        planted_.push_back(Join(base, link));
        WriteText(planted_.back(), "the user's own link");
    }
    SetString(product::kSettingsKey, "instOSMP", recorded);

    Uninstall();

    for (const std::string& link : planted_) EXPECT_EQ(driver::ReadFileText(link), "the user's own link") << link;
    EXPECT_FALSE(Exists(program_));
    EXPECT_FALSE(ValueExists(product::kSettingsKey, "instOSMP"));
}

INSTANTIATE_TEST_SUITE_P(Cases, InstalledWithOutsideStartMenu,
                         ::testing::Values(OutsideMenu{"Startup", CSIDL_STARTUP, ""},
                                           OutsideMenu{"Programs", CSIDL_PROGRAMS, ""},
                                           OutsideMenu{"StartMenuByClimbing", CSIDL_STARTMENU,
                                                       "Programs\\Korvane\\..\\.."},
                                           OutsideMenu{"UsersFolder", -1, ""}),
                         [](const ::testing::TestParamInfo<OutsideMenu>& info) { return info.param.name; });

// The links and the folders they point at lie below the scratch area.
class InstalledWithLinkedFolder : public Installed, public ::testing::WithParamInterface<const char*> {
protected:
    void TearDown() override {
        driver::RemoveTreeWithLinks(StartMenuFolder());
        driver::RemoveTreeWithLinks(root_);
        Installed::TearDown();
    }
};

// The Start Menu folder or a folder of the package is a link to a folder elsewhere: the uninstaller
// empties it through the link, and leaves the link and the folder it points at.
TEST_P(InstalledWithLinkedFolder, KeepsTheLinkAndTheFolderItPointsAt) {
    if (!driver::UnderWine()) GTEST_SKIP() << "the links are made through Wine";
    const std::string name = GetParam();
    const bool startMenu = name == "Start Menu";
    const std::string folder = startMenu ? StartMenuFolder() : Join(program_, name);
    const std::string target = Join(root_, "linked " + name);
    ASSERT_TRUE(MoveFileA(folder.c_str(), target.c_str()));
    ASSERT_TRUE(driver::MakeFolderLink(folder, target));

    Uninstall();

    EXPECT_TRUE(driver::IsReparsePoint(folder));
    EXPECT_TRUE(driver::IsFolder(target));
    if (startMenu) {
        EXPECT_FALSE(Exists(Join(target, "Uninstall.lnk"))) << "not emptied through the link";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, InstalledWithLinkedFolder, ::testing::Values("Start Menu", "Manual"));

TEST_F(Installed, ApplicationShowsTheConfiguration) {
    ASSERT_TRUE(StartProgram("\"" + Join(program_, product::kMainExecutable) + "\"", 0));
    HWND window = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (window = FindWindowA(product::kMainWindowClass, nullptr)) != nullptr; }, 10000));
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_NE(std::string(title).find(product::kName), std::string::npos) << title;

    std::string text;
    ASSERT_TRUE(WaitUntil(
        [&] {
            HWND child = GetWindow(window, GW_CHILD);
            char buffer[4096] = "";
            if (child) SendMessageA(child, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
            text = buffer;
            return !text.empty();
        },
        5000));
    for (const std::string& expected :
         {std::string("Version: 1.2.3"), "Program folder: " + program_, "Data folder: " + data_,
          std::string("44100 Hz, 16 bit, stereo"), std::string("rf1: partner-site\r\n")})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n--- in ---\n" << text;

    const UINT close = RegisterWindowMessageA(product::kCloseMessage);
    PostMessageA(HWND_BROADCAST, close, 1, 0);
    EXPECT_TRUE(WaitUntil([] { return FindWindowA(product::kMainWindowClass, nullptr) == nullptr; }, 5000));
}

// What a 1.2.2 installation leaves (see payload/old_uninstaller).
class Version122Installed : public UserAccount {
protected:
    void SetUp() override {
        UserAccount::SetUp();
        program_ = Join(root_, "Korvane 1.2.2");
        for (const char* name : {"kvr.exe", "kvrsched.exe", "kvr122.dat", "uninst_kvr.exe"})
            WriteText(Join(program_, name), name);
        SetString(product::kSettingsKey, "ver", "1.2.2");
        SetString(product::kSettingsKey, "InstallFolder", program_);
        SetDword(product::kSettingsKey, "WOVol", 1234);
        SetString(product::kUninstallKey, "DisplayName", product::kName);
        SetString(product::kUninstallKey, "DisplayVersion", "1.2.2");
        SetString(product::kUninstallKey, "UninstallString", Join(program_, "uninst_kvr.exe"));
    }
    void TearDown() override {
        driver::RemoveTreeWithLinks(root_);
        UserAccount::TearDown();
    }

    // Runs the uninstaller the way the setup runs it: a copy in the temporary folder.
    void RunOldUninstaller(DWORD* elapsed) {
        const std::string uninstaller = Join(temp_, "Korvane Version 1_2_2 Uninstaller.exe");
        ASSERT_TRUE(CopyFileA(Join(EnvPath("KVR_PAYLOAD_BIN"), "kvr_old_uninstaller.exe").c_str(),
                              uninstaller.c_str(), FALSE));
        ASSERT_TRUE(StartProgram("\"" + uninstaller + "\"", 20000, elapsed));
        DeleteFileA(uninstaller.c_str());
    }
    std::string program_;
};

TEST_F(Version122Installed, OldUninstallerRemovesItQuicklyAndKeepsTheUsersSettings) {
    DWORD elapsed = 0;
    RunOldUninstaller(&elapsed);

    EXPECT_LT(elapsed, 5000u);
    EXPECT_FALSE(Exists(program_));
    EXPECT_FALSE(ValueExists(product::kSettingsKey, "ver"));
    EXPECT_FALSE(ValueExists(product::kSettingsKey, "InstallFolder"));
    EXPECT_TRUE(ValueExists(product::kSettingsKey, "WOVol"));
    EXPECT_FALSE(KeyExists(product::kUninstallKey));
}

TEST_F(Version122Installed, OldUninstallerEmptiesALinkedProgramFolderAndLeavesTheLink) {
    if (!driver::UnderWine()) GTEST_SKIP() << "the links are made through Wine";
    const std::string target = Join(root_, "linked Korvane 1.2.2");
    ASSERT_TRUE(MoveFileA(program_.c_str(), target.c_str()));
    ASSERT_TRUE(driver::MakeFolderLink(program_, target));

    DWORD elapsed = 0;
    RunOldUninstaller(&elapsed);

    EXPECT_FALSE(Exists(Join(target, "kvr.exe")));
    EXPECT_TRUE(driver::IsReparsePoint(program_));
    EXPECT_TRUE(driver::IsFolder(target));
}

}  // namespace
