// End to end, under Wine: the package's own uninstaller on an installation laid
// out as the setup leaves it, the stand-in of the 1.2.2 uninstaller on that
// version's layout, and kvr.exe showing the configuration.
//
// Environment (unix paths): KVR_PACKAGE_LIST, the packer's list of resource 135;
// KVR_PAYLOAD_BIN, the folder of the built payload programs.
#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "driver.h"
#include "folder_snapshot.h"
#include "foundation/portable/product.h"
#include "integration/portable/referrer_scramble.h"
#include "shell_items.h"
#include "user_registry.h"

namespace {

using driver::FileExists;
using driver::Join;
using driver::KeyExists;
using driver::ParentOf;
using driver::SpecialFolder;
using driver::ValueExists;

constexpr char kVendorKey[] = "Software\\from Ostrevik";

// What temporary copies of the uninstaller leave in the temporary folder: the folders made for them, and any
// program lying in the temporary folder itself.
std::set<std::string> TemporaryCopies(const std::string& temp) {
    std::set<std::string> names = driver::FilesMatching(Join(temp, "kvruninst-*"));
    names.merge(driver::FilesMatching(Join(temp, "*.exe")));
    return names;
}

// A scratch area below the temporary folder, and a clean vendor key, for each test.
class UserAccount : public ::testing::Test {
protected:
    void SetUp() override {
        temp_ = driver::TempFolder();
        temp_.pop_back();
        root_ = Join(temp_, "kvr_e2e_" + std::to_string(GetCurrentProcessId()));
        driver::ResetSetupRegistry();
    }
    void TearDown() override {
        // A copy of the application that a failed test left running would hold its files.
        driver::CloseApplication();
        driver::RemoveTree(root_);
        driver::ResetSetupRegistry();
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

        const std::string list = driver::BuiltFile("KVR_PACKAGE_LIST");
        ASSERT_FALSE(list.empty()) << "KVR_PACKAGE_LIST is not set";
        std::ifstream lines(list);
        ASSERT_TRUE(lines) << list;
        for (std::string line; std::getline(lines, line);) {
            const auto tab = line.find('\t');
            ASSERT_NE(tab, std::string::npos) << line;
            const std::string name = line.substr(0, tab);
            const std::string target = Join(program_, name);
            driver::MakeFolders(ParentOf(target));
            ASSERT_TRUE(CopyFileA(driver::WinePath(line.substr(tab + 1)).c_str(), target.c_str(), FALSE)) << name;
            if (files_.empty()) {
                ASSERT_TRUE(CopyFileA(target.c_str(), Join(program_, "__cdcb.lx").c_str(), FALSE));
                SetFileAttributesA(Join(program_, "__cdcb.lx").c_str(), FILE_ATTRIBUTE_HIDDEN);
                SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
            }
            files_.push_back(name);
        }
        ASSERT_EQ(files_.size(), 101u);

        driver::LayFile(Join(data_, "2010-05-01 20-00 Radio.wav"), "RIFF recording");
        driver::LayFile(Join(data_, "schedule.txt"), "Sat 20:00 60 min Radio\n");

        const std::string exe = Join(program_, product::kMainExecutable);
        const std::pair<std::string, std::string> links[] = {
            {start_menu_ + "Korvane.lnk", exe},
            {start_menu_ + "Manual.lnk", Join(program_, product::kManualPage)},
            {start_menu_ + "Quick Hardware Setup.lnk", Join(program_, product::kQuickSetupPage)},
            {start_menu_ + "Uninstall.lnk", Join(program_, product::kUninstaller)},
            {desktop_link_, exe},
            {quick_launch_link_, exe},
        };
        for (const auto& [link, target] : links) ASSERT_TRUE(driver::CreateLink(link, target)) << link;

        const char* settings = product::kSettingsKey;
        const std::pair<const char*, std::string> texts[] = {
            {"SetupPlbkRcFldr", data_}, {"SetupSchdRcFldr", data_}, {"SetupLogFldr", program_},
            {"InstallFolder", program_}, {"LRplbk", ""},           {"LRschd", ""},
            {"rf2", ""},                {"rf3", ""},                {"ver", product::kVersion},
            {"rf1", ScrambleReferrerText("partner-site")},          {"instOSMP", start_menu_},
        };
        for (const auto& [name, value] : texts) ASSERT_TRUE(driver::SetText(settings, name, value)) << name;
        const std::pair<const char*, DWORD> dwords[] = {
            {"nshbt0", 2},         {"SetupWIChnls", 2},     {"SetupWISmpSz", 16},       {"SetupWISmpRt", 44100},
            {"SetupSchdRcChn", 2}, {"SetupSchdRcSmSz", 16}, {"SetupSchdRcSmRt", 44100}, {"SetupSchdRcSAI", 1},
            {"SetupRcCdcType", 0}, {"WOVol", 0x3FFF},       {"SetupSTAS", 0},
        };
        for (const auto& [name, value] : dwords) ASSERT_TRUE(driver::SetNumber(settings, name, value)) << name;
        // The setup leaves the installer key behind, emptied.
        ASSERT_TRUE(driver::SetText(product::kInstallerKey, "Referrer", "x"));
        SHDeleteValueA(HKEY_CURRENT_USER, product::kInstallerKey, "Referrer");

        const char* uninstall = product::kUninstallKey;
        ASSERT_TRUE(driver::SetText(uninstall, "DisplayName", product::kName));
        ASSERT_TRUE(driver::SetText(uninstall, "UninstallString", Join(program_, product::kUninstaller)));
        ASSERT_TRUE(driver::SetText(uninstall, "DisplayVersion", product::kVersion));
    }
    void TearDown() override {
        // Below the Programs folder of the prefix, not the scratch area: a refused removal leaves it.
        driver::RemoveTree(StartMenuFolder());
        UserAccount::TearDown();
    }

    std::string StartMenuFolder() const { return start_menu_.substr(0, start_menu_.size() - 1); }

    // Runs the uninstaller as Add/Remove Programs would, silently, and waits until
    // its temporary copy has finished (it removes the uninstall entry last) and gone.
    // What the temporary copy left meanwhile is collected in new_copies_ (true: it held the copy when seen).
    void Uninstall() {
        before_copies_ = TemporaryCopies(temp_);
        const std::string uninstaller = driver::ReadValue(product::kUninstallKey, "UninstallString").text;
        driver::Process original = driver::Process::Start(uninstaller, "/S");
        ASSERT_TRUE(original.Started()) << uninstaller;
        original.WaitForExit(10000);
        ASSERT_TRUE(driver::WaitUntil(
            [&] {
                for (const std::string& name : TemporaryCopies(temp_)) {
                    if (before_copies_.count(name) != 0) continue;
                    new_copies_[name] |= FileExists(Join(Join(temp_, name), product::kUninstaller));
                }
                return !KeyExists(product::kUninstallKey);
            },
            20000))
            << "the removal did not finish";
        // The copy deletes itself and its folder a little later; the next test must not find it still there.
        gone_ = driver::WaitUntil(
            [&] {
                for (const std::string& name : TemporaryCopies(temp_))
                    if (before_copies_.count(name) == 0) return false;
                return true;
            },
            10000);
    }

    std::string program_, data_, start_menu_, desktop_link_, quick_launch_link_;
    std::vector<std::string> files_;
    std::set<std::string> before_copies_;
    std::map<std::string, bool> new_copies_;
    bool gone_ = false;  ///< the temporary copy and its folder went after the last Uninstall()
};

bool ApplicationShown() { return FindWindowA(product::kMainWindowClass, nullptr) != nullptr; }

TEST_F(Installed, SilentUninstallLeavesOnlyTheRecordings) {
    const driver::Process application = driver::Process::Start(Join(program_, product::kMainExecutable), "");
    ASSERT_TRUE(application.Started());
    ASSERT_TRUE(driver::WaitUntil(ApplicationShown, 10000));

    Uninstall();

    EXPECT_EQ(FindWindowA(product::kMainWindowClass, nullptr), nullptr) << "the running copy was not closed";
    EXPECT_FALSE(FileExists(program_)) << "program folder left behind";
    for (const std::string& name : files_) EXPECT_FALSE(FileExists(Join(program_, name))) << name;
    EXPECT_FALSE(FileExists(Join(program_, "__cdcb.lx")));
    EXPECT_TRUE(FileExists(Join(root_, "Program Files"))) << "the parent of the program folder is not ours";

    EXPECT_TRUE(FileExists(Join(data_, "2010-05-01 20-00 Radio.wav")));
    EXPECT_TRUE(FileExists(Join(data_, "schedule.txt")));

    EXPECT_FALSE(FileExists(start_menu_)) << "Start Menu folder left behind";
    EXPECT_FALSE(FileExists(desktop_link_));
    EXPECT_FALSE(FileExists(quick_launch_link_));
    EXPECT_TRUE(FileExists(ParentOf(quick_launch_link_))) << "Quick Launch itself is not ours";

    EXPECT_FALSE(KeyExists(product::kUninstallKey));
    EXPECT_FALSE(KeyExists(product::kSettingsKey));
    EXPECT_FALSE(KeyExists(kVendorKey)) << "empty vendor keys left behind";

    // The temporary copy ran from a new folder of its own, and deletes itself and that folder shortly after it
    // ends.
    ASSERT_EQ(new_copies_.size(), 1u) << "one folder for the copy, and no program in the temporary folder itself";
    EXPECT_EQ(new_copies_.begin()->first.rfind("kvruninst-", 0), 0u) << new_copies_.begin()->first;
    EXPECT_TRUE(new_copies_.begin()->second) << "the copy was not seen in its folder";
    EXPECT_TRUE(gone_) << "temporary copy of the uninstaller left in " << temp_;
}

// The scheduler is asked to close as the recorder is, and its file goes with the others.
TEST_F(Installed, SilentUninstallClosesARunningScheduler) {
    const driver::Process scheduler = driver::Process::Start(Join(program_, "kvrsched.exe"), "");
    ASSERT_TRUE(scheduler.Started());
    ASSERT_TRUE(driver::WaitUntil([] { return FindWindowA("KorvaneSchedulerWnd", nullptr) != nullptr; }, 10000));

    Uninstall();

    EXPECT_EQ(FindWindowA("KorvaneSchedulerWnd", nullptr), nullptr) << "the running scheduler was not closed";
    EXPECT_FALSE(FileExists(Join(program_, "kvrsched.exe")));
    EXPECT_FALSE(FileExists(program_)) << "program folder left behind";
}

TEST_F(Installed, AnsweringNoToTheConfirmationRemovesNothing) {
    const std::set<std::string> copies = TemporaryCopies(temp_);
    driver::Process uninstaller = driver::Process::Start(Join(program_, product::kUninstaller), "");
    const driver::MessageBoxInfo question = uninstaller.WaitForMessageBox(10000);
    ASSERT_NE(question.window, nullptr) << "no confirmation";
    driver::ClickButton(question.window, IDNO);
    ASSERT_TRUE(driver::WaitUntil([&] { return uninstaller.CurrentMessageBox().window == nullptr; }, 5000));
    // Done with the question: it ends, and hands no work to a copy of its own.
    ASSERT_TRUE(uninstaller.WaitForExit(10000));
    EXPECT_EQ(TemporaryCopies(temp_), copies) << "the work was handed over";

    for (const std::string& name : files_) EXPECT_TRUE(FileExists(Join(program_, name))) << name;
    EXPECT_TRUE(KeyExists(product::kUninstallKey));
    EXPECT_TRUE(ValueExists(product::kSettingsKey, "ver"));
    EXPECT_TRUE(FileExists(desktop_link_));
}

struct ForeignItem {
    const char* file;                    // a file of the user's, below the program folder
    std::vector<const char*> survivors;  // folders that must stay because of it
};

class InstalledWithForeignFile : public Installed, public ::testing::WithParamInterface<ForeignItem> {};

TEST_P(InstalledWithForeignFile, KeepsTheFileAndTheFoldersAboveIt) {
    const ForeignItem& item = GetParam();
    driver::LayFile(Join(program_, item.file), "mine");
    // Settings the application added later are the user's too.
    ASSERT_TRUE(driver::SetText(product::kSettingsKey, "UserSkin", "dark"));

    Uninstall();

    EXPECT_TRUE(FileExists(Join(program_, item.file)));
    for (const char* folder : item.survivors) EXPECT_TRUE(FileExists(Join(program_, folder))) << folder;
    for (const std::string& name : files_) EXPECT_FALSE(FileExists(Join(program_, name))) << name;
    EXPECT_FALSE(FileExists(Join(program_, "Quick Setup\\pics")));
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
    for (const auto& [name, text] : my_files) driver::LayFile(Join(mine, name), text);
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
            ASSERT_TRUE(driver::SetText(product::kSettingsKey, "InstallFolder", c.recorded));
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

        // Both runs have ended: any work handed over would have left its copy's folder, or done its removal.
        EXPECT_EQ(TemporaryCopies(temp_), copies) << "the work was handed over";
        for (const auto& [name, text] : my_files) EXPECT_EQ(driver::ReadFileText(Join(mine, name)), text) << name;
        for (const std::string& name : files_) EXPECT_TRUE(FileExists(Join(program_, name))) << name;
        for (const char* link : {"Korvane.lnk", "Uninstall.lnk"}) EXPECT_TRUE(FileExists(start_menu_ + link)) << link;
        EXPECT_TRUE(FileExists(desktop_link_));
        EXPECT_TRUE(KeyExists(product::kUninstallKey));
        EXPECT_TRUE(ValueExists(product::kSettingsKey, "ver"));
        EXPECT_TRUE(ValueExists(product::kSettingsKey, "instOSMP"));
        DeleteFileA(copy_in_mine.c_str());
    }
    driver::SetText(product::kSettingsKey, "InstallFolder", program_);
}

// The record of the program folder may be spelt otherwise than the folder the uninstaller runs from.
TEST_F(Installed, ARecordSpeltOtherwiseStillLeadsHere) {
    const std::string spelt = Join(ParentOf(program_), ".\\KORVANE\\");
    ASSERT_TRUE(driver::SetText(product::kSettingsKey, "InstallFolder", spelt));

    Uninstall();

    EXPECT_FALSE(FileExists(program_));
    EXPECT_FALSE(FileExists(start_menu_));
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
    driver::MakeFolders(base);
    for (const char* link : {"Uninstall.lnk", "Manual.lnk"}) {
        planted_.push_back(Join(base, link));
        driver::LayFile(planted_.back(), "the user's own link");
    }
    ASSERT_TRUE(driver::SetText(product::kSettingsKey, "instOSMP", recorded));

    Uninstall();

    for (const std::string& link : planted_) EXPECT_EQ(driver::ReadFileText(link), "the user's own link") << link;
    EXPECT_FALSE(FileExists(program_));
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
        EXPECT_FALSE(FileExists(Join(target, "Uninstall.lnk"))) << "not emptied through the link";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, InstalledWithLinkedFolder, ::testing::Values("Start Menu", "Manual"));

TEST_F(Installed, ApplicationShowsTheConfiguration) {
    const driver::Process application = driver::Process::Start(Join(program_, product::kMainExecutable), "");
    HWND window = nullptr;
    ASSERT_TRUE(driver::WaitUntil(
        [&] { return (window = FindWindowA(product::kMainWindowClass, nullptr)) != nullptr; }, 10000));
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_NE(std::string(title).find(product::kName), std::string::npos) << title;

    std::string text;
    ASSERT_TRUE(driver::WaitUntil(
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
    EXPECT_TRUE(driver::WaitUntil([] { return !ApplicationShown(); }, 5000));
}

// What a 1.2.2 installation leaves (see payload/old_uninstaller).
class Version122Installed : public UserAccount {
protected:
    void SetUp() override {
        UserAccount::SetUp();
        program_ = Join(root_, "Korvane 1.2.2");
        for (const char* name : {"kvr.exe", "kvrsched.exe", "kvr122.dat", "uninst_kvr.exe"})
            driver::LayFile(Join(program_, name), name);
        ASSERT_TRUE(driver::SetText(product::kSettingsKey, "ver", "1.2.2"));
        ASSERT_TRUE(driver::SetText(product::kSettingsKey, "InstallFolder", program_));
        ASSERT_TRUE(driver::SetNumber(product::kSettingsKey, "WOVol", 1234));
        ASSERT_TRUE(driver::SetText(product::kUninstallKey, "DisplayName", product::kName));
        ASSERT_TRUE(driver::SetText(product::kUninstallKey, "DisplayVersion", "1.2.2"));
        ASSERT_TRUE(driver::SetText(product::kUninstallKey, "UninstallString", Join(program_, "uninst_kvr.exe")));
    }
    void TearDown() override {
        driver::RemoveTreeWithLinks(root_);
        UserAccount::TearDown();
    }

    // Runs the uninstaller the way the setup runs it: a copy in the temporary folder, which must end by itself
    // within the 20 seconds the setup waits for it.
    void RunOldUninstaller() {
        const std::string uninstaller = Join(temp_, "Korvane Version 1_2_2 Uninstaller.exe");
        ASSERT_TRUE(CopyFileA(Join(driver::BuiltFile("KVR_PAYLOAD_BIN"), "kvr_old_uninstaller.exe").c_str(),
                              uninstaller.c_str(), FALSE));
        {
            driver::Process run = driver::Process::Start(uninstaller, "");
            ASSERT_TRUE(run.Started());
            EXPECT_TRUE(run.WaitForExit(20000)) << "it did not end by itself";
        }
        DeleteFileA(uninstaller.c_str());
    }
    std::string program_;
};

TEST_F(Version122Installed, OldUninstallerRemovesItQuicklyAndKeepsTheUsersSettings) {
    RunOldUninstaller();

    EXPECT_FALSE(FileExists(program_));
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

    RunOldUninstaller();

    EXPECT_FALSE(FileExists(Join(target, "kvr.exe")));
    EXPECT_TRUE(driver::IsReparsePoint(program_));
    EXPECT_TRUE(driver::IsFolder(target));
}

}  // namespace
