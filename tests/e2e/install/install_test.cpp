// Installations by the real setup.exe under Wine, walked from the Welcome page
// with the suggested answers.
#include <windows.h>
#include <prsht.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "apps_entry.h"
#include "driver.h"
#include "e2e_support.h"
#include "engine/install_driver.h"
#include "engine/portable/package_archive.h"
#include "folder_snapshot.h"
#include "foundation/portable/product.h"
#include "integration/portable/referrer_scramble.h"
#include "resources/resource.h"
#include "shell_items.h"
#include "user_registry.h"
#include "wizard_walk.h"

namespace {

using driver::Differences;
using driver::FilesMatching;
using driver::KeyExists;
using driver::ParentOf;
using driver::ReadValue;
using driver::RegistryValue;
using driver::Snapshot;
using driver::SpecialFolder;
using e2e::kCancelText;

constexpr int kFileCount = 102;
constexpr int kStepTotal = 106;

std::string Caption(HWND wizard) { return driver::ControlText(driver::CurrentPage(wizard), IDC_INSTALL_CAPTION); }

// The application package as the setup carries it: the archive's entries, names and bytes, in its order.
std::vector<std::pair<std::string, std::string>> PackageEntries() {
    std::vector<std::pair<std::string, std::string>> entries;
    HMODULE setup = LoadLibraryExA(driver::BuiltFile("KVR_SETUP_EXE").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(setup, MAKEINTRESOURCEA(IDR_PACKAGE), RT_RCDATA);
    const void* bytes = found ? LockResource(LoadResource(setup, found)) : nullptr;
    PackageArchive archive;
    if (bytes != nullptr && archive.Open(bytes, SizeofResource(setup, found))) {
        for (uint32_t i = 0; i < archive.Count(); ++i) {
            const PackageEntry& entry = archive.Entry(i);
            entries.emplace_back(entry.name,
                                 std::string(reinterpret_cast<const char*>(archive.Data(entry)), entry.size));
        }
    }
    archive.Reset();
    FreeLibrary(setup);
    return entries;
}

// The installed files: name -> bytes.
std::map<std::string, std::string> PackageFiles() {
    const auto entries = PackageEntries();
    std::map<std::string, std::string> files(entries.begin(), entries.end());
    if (!files.empty()) files["__cdcb.lx"] = files["__cdca.lx"];
    return files;
}

// Installed names in the order the setup writes them: the hidden second copy first, then the package's entries.
std::vector<std::string> InstallOrder() {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : PackageEntries()) {
        if (names.empty()) names.push_back("__cdcb.lx");
        names.push_back(name);
    }
    return names;
}

std::string DesktopLink() { return SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Korvane.lnk"; }
std::string QuickLaunchLink() {
    return SpecialFolder(CSIDL_APPDATA) + "\\Microsoft\\Internet Explorer\\Quick Launch\\Korvane.lnk";
}

// Runs `commandLine` to its end with its standard output in a file; returns that output.
std::string RunToEnd(const std::string& commandLine, const std::string& outputFile) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    win::FileHandle output(CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output.Valid()) return "";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output.Get();
    startup.hStdError = output.Get();
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) return "";
    const win::KernelHandle process(info.hProcess);
    const win::KernelHandle thread(info.hThread);
    WaitForSingleObject(process.Get(), 30000);
    output.Reset();
    return driver::ReadFileText(outputFile);
}

std::set<std::string> TempInstallFolders() { return FilesMatching(driver::TempFolder() + "instrb*"); }

constexpr char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Desktop and Music are links to one home folder shared by every Wine prefix on the machine, so runs in other
// prefixes would see this run's desktop shortcut and data folder. While this lives, both are private folders.
class PrivateShellFolders {
public:
    PrivateShellFolders() : home_(driver::ScratchFolder("kvr-install-home")) {
        for (const char* name : {"Desktop", "My Music"}) {
            Saved saved{name, false, REG_NONE, {}};
            BYTE data[1024];
            DWORD size = sizeof data;
            win::RegKey key;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, kUserShellFolders, 0, KEY_QUERY_VALUE, key.Receive()) == ERROR_SUCCESS)
                saved.existed = RegQueryValueExA(key.Get(), name, nullptr, &saved.type, data, &size) == ERROR_SUCCESS;
            if (saved.existed) saved.data.assign(data, data + size);
            saved_.push_back(saved);
            const std::string folder = home_ + "\\" + name;
            CreateDirectoryA(folder.c_str(), nullptr);
            SHSetValueA(HKEY_CURRENT_USER, kUserShellFolders, name, REG_EXPAND_SZ, folder.c_str(),
                        static_cast<DWORD>(folder.size() + 1));
        }
    }
    PrivateShellFolders(const PrivateShellFolders&) = delete;
    PrivateShellFolders& operator=(const PrivateShellFolders&) = delete;
    ~PrivateShellFolders() {
        for (const Saved& saved : saved_) {
            if (saved.existed)
                SHSetValueA(HKEY_CURRENT_USER, kUserShellFolders, saved.name, saved.type, saved.data.data(),
                            static_cast<DWORD>(saved.data.size()));
            else
                SHDeleteValueA(HKEY_CURRENT_USER, kUserShellFolders, saved.name);
        }
        driver::RemoveTree(home_);
    }

private:
    struct Saved {
        const char* name;
        bool existed;
        DWORD type;
        std::vector<BYTE> data;
    };
    std::string home_;
    std::vector<Saved> saved_;
};

// The setup's command line, and answers that differ from the suggestions.
struct Answers : driver::WizardAnswers {
    std::string arguments;
};

class SetupInstall : public ::testing::Test {
protected:
    void SetUp() override {
        driver::ResetSetupRegistry();
        setupExe_ = driver::BuiltFile("KVR_SETUP_EXE");
        ASSERT_FALSE(setupExe_.empty()) << "KVR_SETUP_EXE is not set";
        tempBefore_ = TempInstallFolders();
    }
    void TearDown() override {
        if (setup_.Started() && setup_.Running()) setup_.Kill();
        driver::CloseApplication();
        for (const char* folder : {"InstallFolder", "SetupSchdRcFldr", "instOSMP"}) {
            const std::string path = driver::GetSetting(folder);
            if (!path.empty()) driver::RemoveTree(path);
        }
        for (const std::string& folder : {program_, data_, StartMenuFolder()})
            if (!folder.empty()) driver::RemoveTree(folder);
        for (const std::string& scratch : scratch_) driver::RemoveTree(scratch);
        DeleteFileA(DesktopLink().c_str());
        DeleteFileA(QuickLaunchLink().c_str());
        driver::ResetSetupRegistry();
    }

    // Starts the setup and answers every question page with its suggestion or with `answers`, up to the
    // Ready page. Notes the folders and tasks on the way.
    void WalkToReady(const Answers& answers = {}) {
        setup_ = driver::Process::Start(setupExe_, answers.arguments);
        const driver::WizardWalk walk = driver::WalkWizard(setup_, IDD_READY, answers);
        program_ = walk.program;
        startMenuName_ = walk.startMenu;
        startMenuQuestion_ = walk.startMenuQuestion;
        data_ = walk.data;
        desktop_ = walk.desktop;
        quickLaunch_ = walk.quickLaunch;
        wizard_ = walk.wizard;
        ASSERT_NE(wizard_, nullptr) << walk.failure;
        ASSERT_FALSE(program_.empty());
        ASSERT_FALSE(data_.empty());
    }

    // Presses Next on the Ready page and waits for the Finished page, noting the Installing page on the way.
    void InstallToFinished() {
        driver::PressWizardButton(wizard_, PSBTN_NEXT);
        ASSERT_TRUE(driver::WaitForPage(wizard_, IDD_INSTALLING));
        installing_ = driver::CurrentPage(wizard_);
        ASSERT_TRUE(driver::WaitForPage(wizard_, IDD_FINISHED, 60000));
    }

    // A whole installation with `answers`, closed from the Finished page.
    void InstallAndClose(const Answers& answers = {}) {
        WalkToReady(answers);
        InstallToFinished();
        driver::PressWizardButton(wizard_, PSBTN_CANCEL);
        ASSERT_TRUE(setup_.WaitForExit());
    }

    // Presses Next on the Ready page and expects the file step for `name` to fail, then the Ready page again.
    void ExpectFileStepFails(const std::string& name) {
        driver::PressWizardButton(wizard_, PSBTN_NEXT);
        driver::MessageBoxInfo box = setup_.WaitForMessageBox(60000);
        ASSERT_NE(box.window, nullptr) << name;
        EXPECT_EQ(box.icon, driver::IconKind::Error);
        EXPECT_EQ(box.text.rfind("ERROR: (", 0), 0u) << box.text;
        const std::string tail = ") Cannot install the following file:\n\n" + program_ + "\\" + name;
        EXPECT_EQ(box.text.size() > tail.size() ? box.text.substr(box.text.size() - tail.size()) : "", tail)
            << box.text;
        driver::ClickButton(box.window, IDOK);
        ASSERT_TRUE(driver::WaitForPage(wizard_, IDD_READY));
        ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsWizardButtonEnabled(wizard_, driver::kNext); }));
    }

    std::string StartMenuFolder() const {
        return startMenuName_.empty() ? "" : SpecialFolder(CSIDL_STARTMENU) + "\\" + startMenuName_;
    }

    std::string Scratch(const char* name) {
        scratch_.push_back(driver::ScratchFolder(name));
        return scratch_.back();
    }

    // Presses Next on the Ready page and waits for the Installing page to show a file being installed.
    void StartInstallingFiles() {
        driver::PressWizardButton(wizard_, PSBTN_NEXT);
        ASSERT_TRUE(driver::WaitForPage(wizard_, IDD_INSTALLING));
        ASSERT_TRUE(driver::WaitUntil([&] { return Caption(wizard_) == "Installing File:"; }, 30000));
    }

    void ExpectInstalled() {
        const std::map<std::string, std::string> package = PackageFiles();
        ASSERT_EQ(package.size(), static_cast<size_t>(kFileCount));
        for (const auto& [name, bytes] : package)
            EXPECT_TRUE(driver::ReadFileText(program_ + "\\" + name) == bytes) << name;
        EXPECT_EQ(TempInstallFolders(), tempBefore_) << "the temporary folder stayed";
    }

    std::string setupExe_;
    std::string program_;
    std::string data_;
    std::string startMenuName_;  // empty when there is to be no Start Menu folder
    std::string startMenuQuestion_;
    bool desktop_ = false;
    bool quickLaunch_ = false;
    HWND installing_ = nullptr;
    std::vector<std::string> scratch_;
    std::set<std::string> tempBefore_;
    PrivateShellFolders shellFolders_;
    driver::Process setup_;
    HWND wizard_ = nullptr;
};

TEST_F(SetupInstall, FreshInstallWithTheSuggestionsThenFinishRunsAllThreeActions) {
    e2e::FakeBrowser browser;
    WalkToReady();
    driver::PressWizardButton(wizard_, PSBTN_NEXT);
    ASSERT_TRUE(driver::WaitForPage(wizard_, IDD_FINISHED, 60000));
    ExpectInstalled();
    EXPECT_EQ(driver::GetSetting("InstallFolder"), program_);

    HWND page = driver::CurrentPage(wizard_);
    EXPECT_EQ(driver::CheckState(page, IDC_FINISH_LAUNCH), BST_CHECKED);
    EXPECT_EQ(driver::CheckState(page, IDC_FINISH_GUIDE), BST_CHECKED);  // first installation for this user
    EXPECT_EQ(driver::CheckState(page, IDC_FINISH_MANUAL), BST_UNCHECKED);
    EXPECT_TRUE(driver::IsWizardButtonEnabled(wizard_, driver::kFinish));
    EXPECT_FALSE(driver::IsWizardButtonEnabled(wizard_, driver::kBack));

    driver::ClickControl(page, IDC_FINISH_MANUAL);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::CheckState(page, IDC_FINISH_MANUAL) == BST_CHECKED; }));
    driver::PressWizardButton(wizard_, PSBTN_FINISH);
    ASSERT_TRUE(setup_.WaitForExit());
    EXPECT_TRUE(driver::WaitUntil([] { return FindWindowA(product::kMainWindowClass, nullptr) != nullptr; }));
    const std::string manual = "arg " + program_ + "\\Manual\\index.htm\n";
    const std::string guide = "arg " + program_ + "\\Quick Setup\\index.htm\n";
    ASSERT_TRUE(driver::WaitUntil([&] {
        const std::string calls = browser.Calls();
        return calls.find(manual) != std::string::npos && calls.find(guide) != std::string::npos;
    })) << browser.Calls();
    const std::string calls = browser.Calls();
    EXPECT_EQ(calls.size(), std::string("call 1\n").size() * 2 + manual.size() + guide.size()) << calls;
}

TEST_F(SetupInstall, CancelDuringFilesAnsweredNoPausesThenCompletes) {
    WalkToReady();
    StartInstallingFiles();
    driver::PressWizardButton(wizard_, PSBTN_CANCEL);
    driver::MessageBoxInfo question = setup_.WaitForMessageBox();
    ASSERT_EQ(question.text, kCancelText);
    // Paused while the question is open: ticks of the installation's timer do nothing.
    HWND page = driver::CurrentPage(wizard_);
    const std::string detail = driver::ControlText(page, IDC_INSTALL_DETAIL);
    for (int tick = 0; tick < 3; ++tick) PostMessageA(page, WM_TIMER, kInstallTimerId, 0);
    ASSERT_TRUE(driver::WaitForPostedMessages(wizard_));
    EXPECT_EQ(driver::ControlText(page, IDC_INSTALL_DETAIL), detail);
    driver::ClickButton(question.window, IDNO);
    ASSERT_TRUE(driver::WaitForPage(wizard_, IDD_FINISHED, 60000));
    ExpectInstalled();

    // Cancel on the Finished page closes the wizard without asking and without running anything.
    driver::PressWizardButton(wizard_, PSBTN_CANCEL);
    ASSERT_TRUE(setup_.WaitForExit());
    EXPECT_EQ(FindWindowA(product::kMainWindowClass, nullptr), nullptr);
}

TEST_F(SetupInstall, CancelDuringFilesAnsweredYesRollsBackBeforeClosing) {
    WalkToReady();
    StartInstallingFiles();
    driver::PressWizardButton(wizard_, PSBTN_CANCEL);
    driver::MessageBoxInfo question = setup_.WaitForMessageBox();
    ASSERT_EQ(question.text, kCancelText);
    ASSERT_TRUE(driver::FileExists(program_ + "\\__cdcb.lx")) << "no file was written before the cancel";
    driver::ClickButton(question.window, IDYES);
    ASSERT_TRUE(setup_.WaitForExit());
    EXPECT_FALSE(driver::FileExists(program_));
    EXPECT_EQ(TempInstallFolders(), tempBefore_);
    bool found = true;
    driver::GetSetting("ver", &found);
    EXPECT_FALSE(found);
}

TEST_F(SetupInstall, CancelOnceTheShortcutStepBeganIsRefusedWithoutAQuestion) {
    WalkToReady();
    StartInstallingFiles();
    // The caption is read with a message that the setup answers between two ticks; asking again at once
    // catches the pause right after the shortcut step, and the press posted then is handled before the
    // last step's tick.
    const std::set<std::string> late = {"Installing shortcuts...", "Installing the System Registry data..."};
    const DWORD start = GetTickCount();
    std::string caption;
    while (late.count(caption = Caption(wizard_)) == 0 && GetTickCount() - start < 60000) {
    }
    ASSERT_EQ(late.count(caption), 1u) << caption;
    PostMessageA(wizard_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    // When the last step has just moved to the Finished page, the press lands there and closes the
    // wizard, as Cancel on that page does; either way nothing is asked and nothing is rolled back.
    bool asked = false;
    ASSERT_TRUE(driver::WaitUntil(
        [&] {
            asked |= setup_.CurrentMessageBox().window != nullptr;
            return !setup_.Running() || driver::CurrentPageId(wizard_) == IDD_FINISHED;
        },
        60000));
    EXPECT_FALSE(asked);
    ExpectInstalled();
    if (setup_.Running()) {
        driver::PressWizardButton(wizard_, PSBTN_CANCEL);
        ASSERT_TRUE(setup_.WaitForExit());
    }
}

TEST_F(SetupInstall, ReinstallationTicksOnlyTheProgramOnTheFinishedPage) {
    WalkToReady();
    driver::PressWizardButton(wizard_, PSBTN_NEXT);
    ASSERT_TRUE(driver::WaitForPage(wizard_, IDD_FINISHED, 60000));
    driver::PressWizardButton(wizard_, PSBTN_CANCEL);
    ASSERT_TRUE(setup_.WaitForExit());

    WalkToReady();
    driver::PressWizardButton(wizard_, PSBTN_NEXT);
    ASSERT_TRUE(driver::WaitForPage(wizard_, IDD_FINISHED, 60000));
    ExpectInstalled();
    HWND page = driver::CurrentPage(wizard_);
    EXPECT_EQ(driver::CheckState(page, IDC_FINISH_LAUNCH), BST_CHECKED);
    EXPECT_EQ(driver::CheckState(page, IDC_FINISH_GUIDE), BST_UNCHECKED);
    EXPECT_EQ(driver::CheckState(page, IDC_FINISH_MANUAL), BST_UNCHECKED);
    driver::PressWizardButton(wizard_, PSBTN_CANCEL);
    ASSERT_TRUE(setup_.WaitForExit());
}

// A program of the earlier installation holds its file while it runs: the setup closes each one, as it closes
// kvr.exe, before it replaces the files. The uninstaller counts while it still asks whether to remove anything.
TEST_F(SetupInstall, ReinstallationClosesTheRunningProgramsOfTheEarlierInstallation) {
    InstallAndClose();
    for (const char* file : {"kvrsched.exe", "uninst_kvr.exe"}) {
        SCOPED_TRACE(file);
        driver::Process running = driver::Process::Start(program_ + "\\" + file, "");
        ASSERT_TRUE(running.Started());
        ASSERT_TRUE(driver::WaitUntil([&] { return !running.Windows().empty(); })) << "it shows no window";

        WalkToReady();
        InstallToFinished();
        ExpectInstalled();
        EXPECT_FALSE(running.Running());
        driver::PressWizardButton(wizard_, PSBTN_CANCEL);
        ASSERT_TRUE(setup_.WaitForExit());
    }
}

TEST_F(SetupInstall, FreshInstallLeavesDataFolderShortcutsSettingsAndUninstallEntry) {
    Answers answers;
    answers.desktop = BST_CHECKED;
    answers.quickLaunch = BST_UNCHECKED;
    WalkToReady(answers);
    InstallToFinished();
    // The bar stops one step short of full: the last step's position is taken before the step counts.
    EXPECT_EQ(driver::SendControlMessage(installing_, IDC_INSTALL_PROGRESS, PBM_GETPOS), 253);
    ExpectInstalled();
    EXPECT_TRUE(PathIsDirectoryA(data_.c_str())) << data_;

    const std::string menu = StartMenuFolder();
    ASSERT_FALSE(startMenuName_.empty());
    EXPECT_EQ(driver::GetSetting("instOSMP"), menu + "\\");
    EXPECT_EQ(FilesMatching(menu + "\\*"),
              (std::set<std::string>{".", "..", "Korvane.lnk", "Manual.lnk", "Quick Hardware Setup.lnk",
                                     "Uninstall.lnk"}));
    const std::string application = program_ + "\\kvr.exe";
    const struct {
        std::string link;
        std::string target;
        bool wanted;
    } links[] = {
        {menu + "\\Korvane.lnk", application, true},
        {menu + "\\Manual.lnk", program_ + "\\Manual\\index.htm", true},
        {menu + "\\Quick Hardware Setup.lnk", program_ + "\\Quick Setup\\index.htm", true},
        {menu + "\\Uninstall.lnk", program_ + "\\uninst_kvr.exe", true},
        {DesktopLink(), application, desktop_},
        {QuickLaunchLink(), application, quickLaunch_},
    };
    for (const auto& link : links) {
        EXPECT_EQ(driver::FileExists(link.link), link.wanted) << link.link;
        if (link.wanted) {
            EXPECT_STRCASEEQ(driver::LinkTarget(link.link).c_str(), link.target.c_str()) << link.link;
        }
    }

    const std::map<std::string, std::string> texts = {
        {"SetupPlbkRcFldr", data_}, {"SetupSchdRcFldr", data_}, {"SetupLogFldr", program_},
        {"LRplbk", ""},             {"LRschd", ""},             {"ver", "1.2.3"},
        {"InstallFolder", program_}, {"rf1", ""},               {"rf2", ""},
        {"rf3", ""},
    };
    for (const auto& [name, text] : texts) {
        const RegistryValue value = ReadValue(product::kSettingsKey, name.c_str());
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(value.text, text) << name;
    }
    const auto number = [](const char* name) {
        const RegistryValue value = ReadValue(product::kSettingsKey, name);
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD)) << name;
        return value.number;
    };
    for (const auto& [name, expected] : std::map<std::string, DWORD>{
             {"nshbt0", 2}, {"SetupSchdRcSAI", 1}, {"SetupRcCdcType", 0}, {"WOVol", 16383}, {"SetupSTAS", 0}})
        EXPECT_EQ(number(name.c_str()), expected) << name;
    // The recording format depends on the measured processor speed; it is one of the known formats, the same twice.
    const std::set<std::vector<DWORD>> formats = {
        {44100, 16, 2}, {24000, 16, 2}, {22050, 16, 2}, {11025, 8, 2}, {11025, 8, 1}};
    const std::vector<DWORD> input = {number("SetupWISmpRt"), number("SetupWISmpSz"), number("SetupWIChnls")};
    const std::vector<DWORD> scheduled = {number("SetupSchdRcSmRt"), number("SetupSchdRcSmSz"),
                                          number("SetupSchdRcChn")};
    EXPECT_EQ(formats.count(input), 1u) << input[0] << " " << input[1] << " " << input[2];
    EXPECT_EQ(scheduled, input);
    EXPECT_TRUE(KeyExists(product::kInstallerKey));

    const std::map<std::string, std::string> entry = {
        {"DisplayName", "Korvane"},
        {"UninstallString", "\"" + program_ + "\\uninst_kvr.exe\""},
        {"Contact", product::kSupportEmail},
        {"Publisher", product::kVendorHost},
        {"DisplayVersion", "1.2.3"},
        {"HelpLink", std::string(product::kVendorBase) + "/kvr"},
    };
    for (const auto& [name, text] : entry) {
        const RegistryValue value = ReadValue(product::kUninstallKey, name.c_str());
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(value.text, text) << name;
    }
    EXPECT_EQ(driver::AppsEntryMismatches(program_), "");
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string listed = RunToEnd("\"" + std::string(system) + "\\uninstaller.exe\" --list",
                                        Scratch("kvr-install-list") + "\\list.txt");
    EXPECT_NE(listed.find("Korvane"), std::string::npos) << listed;

    driver::PressWizardButton(wizard_, PSBTN_CANCEL);
    ASSERT_TRUE(setup_.WaitForExit());
}

// A Start Menu folder name that climbs out of the Programs folder is asked about; Yes installs without a Start
// Menu folder, and neither the Startup folder nor the Start Menu gets a link.
TEST_F(SetupInstall, AStartMenuFolderOutsideProgramsIsLeftOutAfterTheQuestion) {
    const std::string startMenu = SpecialFolder(CSIDL_STARTMENU);
    const std::string startup = SpecialFolder(CSIDL_STARTUP);
    const Snapshot before = driver::SnapshotOf(startup);
    Answers answers;
    answers.startMenu = "..\\Startup";
    WalkToReady(answers);
    EXPECT_EQ(startMenuQuestion_, "Start Menu shortcut cannot be created.\nContinue?");
    InstallToFinished();
    ExpectInstalled();
    driver::PressWizardButton(wizard_, PSBTN_CANCEL);
    ASSERT_TRUE(setup_.WaitForExit());

    EXPECT_EQ(Differences(before, driver::SnapshotOf(startup)), "");
    EXPECT_FALSE(driver::FileExists(startMenu + "\\..\\Startup"));
    for (const std::string& folder : {startMenu, SpecialFolder(CSIDL_PROGRAMS)})
        EXPECT_EQ(FilesMatching(folder + "\\*.lnk"), std::set<std::string>()) << folder;
    bool recorded = true;
    EXPECT_EQ(driver::GetSetting("instOSMP", &recorded), "");
    EXPECT_FALSE(recorded);
}

TEST_F(SetupInstall, RegisteredUninstallerRemovesEverythingButTheDataFolder) {
    Answers answers;
    answers.desktop = BST_CHECKED;
    answers.quickLaunch = BST_CHECKED;
    InstallAndClose(answers);
    ASSERT_TRUE(driver::FileExists(DesktopLink()));
    ASSERT_TRUE(driver::FileExists(QuickLaunchLink()));
    const RegistryValue command = ReadValue(product::kUninstallKey, "UninstallString");
    ASSERT_TRUE(command.found);

    // The uninstaller hands the work to a copy of itself in the temporary folder, which deletes itself last.
    const std::string copies = driver::TempFolder() + "kvu*.exe";
    const std::set<std::string> copiesBefore = FilesMatching(copies);
    RunToEnd(command.text + " /S", Scratch("kvr-install-uninstall") + "\\output.txt");
    EXPECT_TRUE(driver::WaitUntil(
        [&] { return !KeyExists(product::kUninstallKey) && FilesMatching(copies) == copiesBefore; }, 60000));

    EXPECT_FALSE(driver::FileExists(program_));
    EXPECT_FALSE(driver::FileExists(StartMenuFolder()));
    EXPECT_FALSE(driver::FileExists(DesktopLink()));
    EXPECT_FALSE(driver::FileExists(QuickLaunchLink()));
    EXPECT_FALSE(KeyExists(product::kUninstallKey));
    EXPECT_TRUE(PathIsDirectoryA(data_.c_str())) << data_;
}

TEST_F(SetupInstall, InstallationOverAnEarlierOneKeepsUserValuesAndConsumesTheReferrer) {
    InstallAndClose();
    const std::pair<const char*, DWORD> numbers[] = {{"nshbt0", 7}, {"WOVol", 100}, {"SetupSTAS", 9}, {"SetupSchdRcSAI", 0}};
    for (const auto& [name, number] : numbers) ASSERT_TRUE(driver::SetNumber(product::kSettingsKey, name, number));
    driver::SetSetting("LRplbk", "user");
    driver::SetSetting("SetupLogFldr", "C:\\elsewhere");
    const std::string referrer = "ab\xFF" "cd\xFF" "ef\xFF" "gh";
    ASSERT_TRUE(driver::SetText(product::kInstallerKey, "Referrer", referrer));

    InstallAndClose();
    ExpectInstalled();
    EXPECT_EQ(ReadValue(product::kSettingsKey, "nshbt0").number, 7u);
    EXPECT_EQ(ReadValue(product::kSettingsKey, "WOVol").number, 100u);
    EXPECT_EQ(ReadValue(product::kSettingsKey, "SetupSTAS").number, 0u);
    EXPECT_EQ(ReadValue(product::kSettingsKey, "SetupSchdRcSAI").number, 1u);
    EXPECT_EQ(driver::GetSetting("LRplbk"), "");
    EXPECT_EQ(driver::GetSetting("SetupLogFldr"), program_);
    EXPECT_FALSE(ReadValue(product::kInstallerKey, "Referrer").found);
    EXPECT_EQ(DescrambleReferrerText(driver::GetSetting("rf1")), "ab");
    EXPECT_EQ(DescrambleReferrerText(driver::GetSetting("rf2")), "cd");
    EXPECT_EQ(DescrambleReferrerText(driver::GetSetting("rf3")), "ef\xFF" "gh");
}

// File indices whose step is made to fail: the hidden copy written first, the first package entry, one in the
// middle and the last file.
constexpr int kFailingFiles[] = {0, 1, 40, kFileCount - 1};

TEST_F(SetupInstall, FailedFileStepRestoresTheProgramFolderExactly) {
    const std::vector<std::string> order = InstallOrder();
    ASSERT_EQ(order.size(), static_cast<size_t>(kFileCount));
    Answers answers;
    answers.program = Scratch("kvr-install-failing") + "\\Program";
    // A folder named as file k stops its step; the folder must be as it was before the attempt.
    const auto failEachInTurn = [&] {
        for (int k : kFailingFiles) {
            SCOPED_TRACE(order[k]);
            const std::string obstacle = program_ + "\\" + order[k];
            SetFileAttributesA(obstacle.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(obstacle.c_str());
            ASSERT_EQ(SHCreateDirectoryExA(nullptr, obstacle.c_str(), nullptr), ERROR_SUCCESS);
            const Snapshot before = driver::SnapshotOf(program_);
            ExpectFileStepFails(order[k]);
            EXPECT_EQ(Differences(before, driver::SnapshotOf(program_)), "");
            EXPECT_EQ(TempInstallFolders(), tempBefore_);
            ASSERT_TRUE(RemoveDirectoryA(obstacle.c_str()));
        }
    };

    WalkToReady(answers);
    failEachInTurn();
    InstallToFinished();
    ExpectInstalled();
    driver::PressWizardButton(wizard_, PSBTN_CANCEL);
    ASSERT_TRUE(setup_.WaitForExit());

    // Over the earlier installation, with contents of its own, so that restored files can be told from new ones.
    for (const std::string& name : order) driver::WriteFileText(program_ + "\\" + name, "earlier " + name);
    WalkToReady(answers);
    failEachInTurn();
    InstallToFinished();
    ExpectInstalled();
    driver::PressWizardButton(wizard_, PSBTN_CANCEL);
    ASSERT_TRUE(setup_.WaitForExit());
}

TEST_F(SetupInstall, DataFolderThatCannotBeCreatedRollsTheInstallationBack) {
    const std::string root = Scratch("kvr-install-nodata");
    const std::string blocked = root + "\\Blocked";
    Answers answers;
    answers.program = root + "\\Program";
    answers.data = blocked + "\\Data";
    WalkToReady(answers);
    // The Data Folder page has accepted the folder; a plain file now stands where its parent must go.
    RemoveDirectoryA(blocked.c_str());
    win::FileHandle blocker(
        CreateFileA(blocked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(blocker.Valid());
    blocker.Reset();

    driver::PressWizardButton(wizard_, PSBTN_NEXT);
    driver::MessageBoxInfo box = setup_.WaitForMessageBox(60000);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.icon, driver::IconKind::Error);
    EXPECT_EQ(box.text, "ERROR: Cannot create the recording & data files folder:\n\n" + data_);
    driver::ClickButton(box.window, IDOK);
    ASSERT_TRUE(driver::WaitForPage(wizard_, IDD_READY));
    EXPECT_FALSE(driver::FileExists(program_));
    EXPECT_EQ(TempInstallFolders(), tempBefore_);
    EXPECT_FALSE(driver::FileExists(StartMenuFolder()));
    EXPECT_FALSE(KeyExists(product::kSettingsKey));
    EXPECT_FALSE(KeyExists(product::kUninstallKey));
}

TEST_F(SetupInstall, TempOptionFolderHoldsTheBackupsAndGoesOnlyWhenEmpty) {
    InstallAndClose();
    const std::string root = Scratch("kvr-install-temp");
    for (bool userFile : {false, true}) {
        const std::string temp = root + (userFile ? "\\Kept\\Backups" : "\\Gone\\Backups");
        SCOPED_TRACE(temp);
        if (userFile) {
            ASSERT_EQ(SHCreateDirectoryExA(nullptr, temp.c_str(), nullptr), ERROR_SUCCESS);
            driver::WriteFileText(temp + "\\notes.txt", "mine");
        }
        Answers answers;
        answers.arguments = "/temp " + temp;
        WalkToReady(answers);
        driver::PressWizardButton(wizard_, PSBTN_NEXT);
        // Every replaced file has its copy there until the last step.
        size_t most = 0;
        ASSERT_TRUE(driver::WaitUntil(
            [&] {
                most = std::max(most, FilesMatching(temp + "\\*.081").size());
                return driver::CurrentPageId(wizard_) == IDD_FINISHED;
            },
            60000));
        EXPECT_EQ(most, static_cast<size_t>(kFileCount));
        ExpectInstalled();
        if (userFile)
            EXPECT_EQ(FilesMatching(temp + "\\*"), (std::set<std::string>{".", "..", "notes.txt"}));
        else
            EXPECT_FALSE(driver::FileExists(temp));
        driver::PressWizardButton(wizard_, PSBTN_CANCEL);
        ASSERT_TRUE(setup_.WaitForExit());
    }
}

std::string RecoveryJournal() { return SpecialFolder(CSIDL_LOCAL_APPDATA) + "\\Korvane Setup\\recovery.txt"; }

constexpr char kRecoveredText[] =
    "The last run of Setup was interrupted during the installation.\nThe program folder has been put back as it "
    "was before:\n\n";

// Lays an earlier installation with contents of its own, so that restored files can be told from new ones.
void LayEarlierInstallation(const std::string& program, const std::vector<std::string>& order) {
    for (const std::string& name : order) driver::LayFile(program + "\\" + name, "earlier " + name);
    SetFileAttributesA((program + "\\" + order[3]).c_str(), FILE_ATTRIBUTE_READONLY);
    driver::WriteFileText(program + "\\notes.txt", "the user's own file");
}

TEST_F(SetupInstall, KilledDuringTheFilesIsPutBackByTheNextStart) {
    const std::vector<std::string> order = InstallOrder();
    ASSERT_EQ(order.size(), static_cast<size_t>(kFileCount));
    for (const bool overEarlier : {false, true}) {
        SCOPED_TRACE(overEarlier ? "over an earlier installation" : "into an empty folder");
        Answers answers;
        answers.program = Scratch("kvr-install-killed") + "\\Program";
        if (overEarlier) LayEarlierInstallation(answers.program, order);
        const Snapshot before = driver::SnapshotOf(answers.program);
        WalkToReady(answers);
        StartInstallingFiles();
        // Killed a quarter of the way through the files.
        HWND page = driver::CurrentPage(wizard_);
        ASSERT_TRUE(driver::WaitUntil(
            [&] { return driver::SendControlMessage(page, IDC_INSTALL_PROGRESS, PBM_GETPOS) >= 64; }, 30000));
        setup_.Kill();
        ASSERT_FALSE(setup_.Running());
        const std::string journal = driver::ReadFileText(RecoveryJournal());
        ASSERT_NE(journal.find(overEarlier ? "\nold\t" : "\nnew\t"), std::string::npos) << journal.substr(0, 300);
        ASSERT_EQ(journal.find("final"), std::string::npos) << "killed after the file steps";
        ASSERT_NE(Differences(before, driver::SnapshotOf(program_)), "") << "killed before any file was written";
        ASSERT_NE(TempInstallFolders(), tempBefore_) << "no temporary folder to clean up";

        setup_ = driver::Process::Start(setupExe_, "");
        const driver::MessageBoxInfo box = setup_.WaitForMessageBox(30000);
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, kRecoveredText + program_);
        EXPECT_EQ(box.icon, driver::IconKind::Information);
        ASSERT_TRUE(driver::WaitForPostedMessages(box.window));
        EXPECT_EQ(setup_.WaitForWizard(0), nullptr) << "the wizard opens only once the box is answered";
        driver::ClickButton(box.window, IDOK);
        wizard_ = setup_.WaitForWizard();
        ASSERT_NE(wizard_, nullptr);
        e2e::CancelWizard(setup_, wizard_);
        EXPECT_EQ(Differences(before, driver::SnapshotOf(program_)), "");
        EXPECT_EQ(driver::FileExists(program_), overEarlier) << "a program folder of the dead run was left";
        EXPECT_EQ(TempInstallFolders(), tempBefore_);
        EXPECT_FALSE(driver::FileExists(RecoveryJournal()));
    }
}

// The small drive T: that tests/e2e/install/small_drive.sh lays: a tmpfs of 64 KB, too small for every backup.
constexpr char kSmallDrive[] = "T:\\";

TEST_F(SetupInstall, BackupFolderOnADriveThatFillsUpStopsBeforeAFileIsLost) {
    ULARGE_INTEGER available, total;
    if (!GetDiskFreeSpaceExA(kSmallDrive, &available, &total, nullptr) || total.QuadPart > 1024 * 1024)
        GTEST_SKIP() << "no small drive T: (mounting a tmpfs needs root): " << total.QuadPart;
    const std::vector<std::string> order = InstallOrder();
    Answers answers;
    answers.program = Scratch("kvr-install-fullbackup") + "\\Program";
    LayEarlierInstallation(answers.program, order);
    const Snapshot before = driver::SnapshotOf(answers.program);
    answers.arguments = std::string("/temp ") + kSmallDrive + "Backups";
    WalkToReady(answers);
    driver::PressWizardButton(wizard_, PSBTN_NEXT);
    const driver::MessageBoxInfo box = setup_.WaitForMessageBox(60000);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.icon, driver::IconKind::Error);
    EXPECT_EQ(box.text.rfind("ERROR: (112) Cannot back up the following file:\n\n" + program_ + "\\", 0), 0u)
        << box.text;
    const std::string failed = box.text.substr(box.text.rfind('\n') + 1);
    const size_t position =
        std::find(order.begin(), order.end(), failed.substr(program_.size() + 1)) - order.begin();
    EXPECT_GT(position, 3u) << "a few backups fit";
    EXPECT_LT(position, order.size()) << failed;
    driver::ClickButton(box.window, IDOK);
    ASSERT_TRUE(driver::WaitForPage(wizard_, IDD_READY));
    EXPECT_EQ(Differences(before, driver::SnapshotOf(program_)), "");
    EXPECT_FALSE(driver::FileExists(std::string(kSmallDrive) + "Backups"));
    e2e::CancelWizard(setup_, wizard_);
}

TEST_F(SetupInstall, RestoreThatFailsNamesTheFolderThatKeepsTheCopy) {
    const std::vector<std::string> order = InstallOrder();
    Answers answers;
    answers.program = Scratch("kvr-install-norestore") + "\\Program";
    LayEarlierInstallation(answers.program, order);
    const std::string kept = Scratch("kvr-install-kept") + "\\Backups";
    answers.arguments = "/temp " + kept;
    WalkToReady(answers);
    StartInstallingFiles();
    HWND page = driver::CurrentPage(wizard_);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::SendControlMessage(page, IDC_INSTALL_PROGRESS, PBM_GETPOS) >= 16; }))
        << "kvr.exe, the third file, is replaced by now";
    driver::PressWizardButton(wizard_, PSBTN_CANCEL);
    const driver::MessageBoxInfo question = setup_.WaitForMessageBox();
    ASSERT_EQ(question.text, kCancelText);
    // While the question is open, the installed kvr.exe turns into a folder: it cannot be copied back.
    const std::string blocked = program_ + "\\kvr.exe";
    ASSERT_NE(driver::ReadFileText(blocked), "earlier kvr.exe");
    ASSERT_TRUE(DeleteFileA(blocked.c_str()));
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr));
    driver::ClickButton(question.window, IDYES);
    ASSERT_TRUE(driver::WaitUntil([&] { return !IsWindow(question.window); }));
    const driver::MessageBoxInfo box = setup_.WaitForMessageBox(30000);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.icon, driver::IconKind::Error);
    EXPECT_EQ(box.text, "ERROR: Cannot restore the following files:\n\n" + blocked +
                            "\n\nTheir previous copies are kept in this folder:\n\n" + kept);
    driver::ClickButton(box.window, IDOK);
    ASSERT_TRUE(setup_.WaitForExit());
    std::set<std::string> copies;
    for (const std::string& name : FilesMatching(kept + "\\*.081"))
        if (driver::ReadFileText(kept + "\\" + name) == "earlier kvr.exe") copies.insert(name);
    EXPECT_EQ(copies.size(), 1u) << "the only copy of the earlier kvr.exe";
    EXPECT_FALSE(driver::FileExists(RecoveryJournal()));
    RemoveDirectoryA(blocked.c_str());
}

// The failed registration's message is answered on the Installing page; the Finished page comes after it.
TEST_F(SetupInstall, RegistrationFailureIsShownBeforeTheFinishedPage) {
    const std::string uninstallRoot = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    win::RegKey existing;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, uninstallRoot.c_str(), 0, KEY_READ, existing.Receive()) == ERROR_SUCCESS) {
        DWORD subkeys = 0;
        RegQueryInfoKeyA(existing.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr);
        ASSERT_EQ(subkeys, 0u) << "the prefix holds uninstall entries of its own";
        existing.Reset();
        ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, uninstallRoot.c_str()), ERROR_SUCCESS);
    }
    // Below a volatile key no lasting key can be made: the entry cannot be written.
    win::RegKey volatileKey;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, uninstallRoot.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, volatileKey.Receive(), nullptr),
              ERROR_SUCCESS);
    WalkToReady();
    driver::PressWizardButton(wizard_, PSBTN_NEXT);
    const driver::MessageBoxInfo box = setup_.WaitForMessageBox(60000);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "ERROR: Cannot register uninstallation...");
    // A Finished page queued behind the box would have come once the setup has handled what is posted.
    ASSERT_TRUE(driver::WaitForPostedMessages(wizard_));
    EXPECT_EQ(driver::CurrentPageId(wizard_), IDD_INSTALLING);
    driver::ClickButton(box.window, IDOK);
    EXPECT_TRUE(driver::WaitForPage(wizard_, IDD_FINISHED));
    driver::PressWizardButton(wizard_, PSBTN_CANCEL);
    EXPECT_TRUE(setup_.WaitForExit());
    volatileKey.Reset();
    RegDeleteKeyA(HKEY_CURRENT_USER, uninstallRoot.c_str());
}

// Time from Next on the Ready page to the Finished page, against the floor the 10 ms timer sets.
// Run by scripts/bench-install.sh.
TEST_F(SetupInstall, DISABLED_BenchmarkInstallation) {
    WalkToReady();
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    driver::PressWizardButton(wizard_, PSBTN_NEXT);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::CurrentPageId(wizard_) == IDD_FINISHED; }, 120000));
    QueryPerformanceCounter(&end);
    const double elapsedMs = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    const double floorMs = kStepTotal * 10.0;
    std::printf("install: %d steps, %.0f ms from Next on Ready to Finished; pacing floor %.0f ms (x%.2f)\n",
                kStepTotal, elapsedMs, floorMs, elapsedMs / floorMs);
    RecordProperty("elapsed_ms", static_cast<int>(elapsedMs));
    RecordProperty("floor_ms", static_cast<int>(floorMs));
    ExpectInstalled();
    driver::PressWizardButton(wizard_, PSBTN_CANCEL);
    ASSERT_TRUE(setup_.WaitForExit());
}

}  // namespace
