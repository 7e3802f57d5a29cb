// The question pages of the real setup.exe: Destination, Start Menu, Data
// Folder, Tasks and Ready, the folder checks behind their Next buttons, and
// Cancel on every page before the installation.
#include <windows.h>
#include <prsht.h>
#include <shlobj.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver.h"
#include "e2e_support.h"

namespace {

using driver::IconKind;
using driver::MessageBoxInfo;

enum PageId { kWelcome = 106, kLicense, kDestination, kStartMenu, kDataFolder, kTasks, kReady };

// Controls of the pages.
constexpr int kAcceptLicense = 1001;
constexpr int kDestinationEdit = 1004;
constexpr int kDestinationBrowse = 1005;
constexpr int kStatusLine = 1006;
constexpr int kInformationLine = 1007;
constexpr int kStartMenuEdit = 1009;
constexpr int kStartMenuBrowse = 1010;
constexpr int kNoStartMenuFolder = 1011;
constexpr int kDataEdit = 1013;
constexpr int kDataBrowse = 1014;
constexpr int kDesktopIcon = 1015;
constexpr int kQuickLaunchIcon = 1016;
constexpr int kSummary = 1017;

constexpr char kUseBrowse[] = "If you're not sure how to write a path, use Browse button...";
using e2e::CancelWizard;
using e2e::kCancelText;
constexpr char kReinstallText[] =
    "Another copy of the program is already installed for this user...\nIf you continue with the installation the "
    "program files will be reinstalled.";
constexpr char kDataDefinedText[] =
    "This folder has already been defined...\n(You will be able to change it in the Options window when the "
    "program is installed.)";
constexpr char kPerUserText[] = "INFORMATION: This program is installed per-Windows user on this computer.";
constexpr char kNotRecognizedText[] =
    "ERROR: Specified path is not recognized...\n(A path should start with a drive letter followed by the colon and "
    "slash.)\n\nIf you're not sure how to write a path, use Browse button...";
constexpr char kCannotWriteText[] = "ERROR: Can't write to the specified folder.\nPlease specify another location...";
constexpr char kResetOfferText[] =
    "ERROR: Current user account does not have permissions to write into specified folder.\nWould you like to reset "
    "the folder to a suggested writable one?";

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string Environment(const char* name) {
    char value[MAX_PATH] = "";
    GetEnvironmentVariableA(name, value, MAX_PATH);
    return value;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The shell's folder browser that the setup shows, or null.
HWND FolderBrowser(const driver::Process& setup) {
    for (HWND window : setup.Windows()) {
        if (FindWindowExA(window, nullptr, "SysTreeView32", nullptr) != nullptr) return window;
    }
    return nullptr;
}

enum class BrowserAnswer { Confirm, ConfirmFirstSubfolder, Cancel };

LRESULT SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result);
    return static_cast<LRESULT>(result);
}

// Opens the browser with the page's Browse button and answers it: OK on what it selects at
// first (its root, or the desktop without one), OK on the first folder below that root, or Cancel.
void Browse(const driver::Process& setup, HWND page, int browseButton, BrowserAnswer answer) {
    driver::ClickControl(page, browseButton);
    HWND browser = nullptr;
    ASSERT_TRUE(driver::WaitUntil([&] { return (browser = FolderBrowser(setup)) != nullptr; }));
    Sleep(300);
    if (answer == BrowserAnswer::ConfirmFirstSubfolder) {
        HWND tree = FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
        const LRESULT root = SendTo(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        SendTo(tree, TVM_EXPAND, TVE_EXPAND, root);
        const LRESULT child = SendTo(tree, TVM_GETNEXTITEM, TVGN_CHILD, root);
        ASSERT_NE(child, 0);
        SendTo(tree, TVM_SELECTITEM, TVGN_CARET, child);
    }
    driver::ClickButton(browser, answer == BrowserAnswer::Cancel ? IDCANCEL : IDOK);
    ASSERT_TRUE(driver::WaitUntil([&] { return FolderBrowser(setup) == nullptr; }));
}

std::string Folders(const std::string& program, const std::string& data) {
    return "The Program Location:\r\n    " + program + "\r\n\r\nRecording & Data Folder Location:\r\n    " + data +
           "\r\n\r\n";
}

class QuestionPages : public ::testing::Test {
protected:
    void SetUp() override {
        setupExe_ = driver::BuiltFile("KVR_SETUP_EXE");
        ASSERT_FALSE(setupExe_.empty()) << "KVR_SETUP_EXE is not set";
        profile_ = Environment("USERPROFILE");
        ASSERT_FALSE(profile_.empty());
        programFolder_ = profile_ + "\\Korvane";
        dataFolder_ = SpecialFolder(CSIDL_MYMUSIC) + "\\Korvane Recordings";
        startMenuFolder_ = SpecialFolder(CSIDL_STARTMENU) + "\\Programs\\Korvane";
        CleanUp();
    }
    void TearDown() override { CleanUp(); }

    void CleanUp() {
        driver::ResetSetupRegistry();
        for (const std::string& folder : {programFolder_, dataFolder_, startMenuFolder_}) driver::RemoveTree(folder);
        for (const std::string& leftover : scratch_) driver::RemoveTree(leftover);
    }

    // A file the test makes and removes again.
    std::string ScratchFile(const std::string& path) {
        scratch_.push_back(path);
        driver::RemoveTree(path);
        return path;
    }

    // A fresh empty folder the test removes again.
    std::string ScratchFolder(const char* name) {
        scratch_.push_back(driver::ScratchFolder(name));
        return scratch_.back();
    }

    driver::Process Start() { return driver::Process::Start(setupExe_, ""); }

    // Presses Next on the current page (accepting the license on its page) and waits for `next`.
    static bool Advance(HWND wizard, int next) {
        HWND page = driver::CurrentPage(wizard);
        if (driver::CurrentPageId(wizard) == kLicense) driver::ClickControl(page, kAcceptLicense);
        if (!driver::WaitUntil([&] { return driver::IsWizardButtonEnabled(wizard, driver::kNext); })) return false;
        driver::PressWizardButton(wizard, PSBTN_NEXT);
        return driver::WaitForPage(wizard, next);
    }

    // Starts the setup and walks with the defaults up to `target`; null when that fails.
    static HWND WalkTo(driver::Process& setup, int target) {
        HWND wizard = setup.WaitForWizard();
        if (wizard == nullptr || !driver::WaitForPage(wizard, kWelcome)) return nullptr;
        for (int page = kWelcome + 1; page <= target; ++page) {
            if (!Advance(wizard, page)) {
                ADD_FAILURE() << "could not reach page " << page << "; a box says: "
                              << setup.CurrentMessageBox().text;
                return nullptr;
            }
        }
        return wizard;
    }

    // Presses Next and returns the message box that follows (with a null window if none came).
    static MessageBoxInfo NextWithBox(driver::Process& setup, HWND wizard) {
        driver::PressWizardButton(wizard, PSBTN_NEXT);
        return setup.WaitForMessageBox();
    }

    static void Answer(driver::Process& setup, const MessageBoxInfo& box, int button) {
        driver::ClickButton(box.window, button);
        ASSERT_TRUE(driver::WaitUntil([&] { return setup.CurrentMessageBox().window == nullptr; }));
    }

    struct Refusal {
        std::string typed;
        std::string message;
    };

    // Types each text on the Destination page and presses Next: a stop box with the case's
    // message, and after OK the page stays with the text as typed.
    static void ExpectDestinationRefusals(driver::Process& setup, HWND wizard, const std::vector<Refusal>& cases) {
        HWND page = driver::CurrentPage(wizard);
        for (const Refusal& c : cases) {
            SCOPED_TRACE(c.typed);
            driver::SetControlText(page, kDestinationEdit, c.typed);
            const MessageBoxInfo box = NextWithBox(setup, wizard);
            ASSERT_NE(box.window, nullptr);
            EXPECT_EQ(box.caption, "Korvane 1.2.3 - Setup");
            EXPECT_EQ(box.text, c.message);
            EXPECT_EQ(box.icon, IconKind::Error);
            EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
            Answer(setup, box, IDOK);
            EXPECT_EQ(driver::CurrentPageId(wizard), kDestination);
            EXPECT_EQ(driver::ControlText(page, kDestinationEdit), c.typed);
        }
    }

    std::string setupExe_;
    std::string profile_;
    std::string programFolder_;
    std::string dataFolder_;
    std::string startMenuFolder_;
    std::vector<std::string> scratch_;
};

TEST_F(QuestionPages, DefaultsLeadToTheSummaryAndQuickLaunchIsOffOnWindows7) {
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, kDestination);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    EXPECT_EQ(driver::ControlText(page, kDestinationEdit), programFolder_);
    EXPECT_TRUE(driver::IsControlEnabled(page, kDestinationEdit));
    EXPECT_TRUE(driver::IsControlEnabled(page, kDestinationBrowse));
    EXPECT_EQ(driver::ControlText(page, kStatusLine), "");
    EXPECT_EQ(driver::ControlText(page, kInformationLine), kPerUserText);

    ASSERT_TRUE(Advance(wizard, kStartMenu));
    page = driver::CurrentPage(wizard);
    EXPECT_EQ(driver::ControlText(page, kStartMenuEdit), "Programs\\Korvane");
    EXPECT_EQ(driver::CheckState(page, kNoStartMenuFolder), BST_UNCHECKED);

    ASSERT_TRUE(Advance(wizard, kDataFolder));
    page = driver::CurrentPage(wizard);
    EXPECT_EQ(driver::ControlText(page, kDataEdit), dataFolder_);
    EXPECT_TRUE(driver::IsControlEnabled(page, kDataEdit));
    EXPECT_TRUE(driver::IsControlEnabled(page, kDataBrowse));
    EXPECT_EQ(driver::ControlText(page, kStatusLine), "");

    ASSERT_TRUE(Advance(wizard, kTasks));
    page = driver::CurrentPage(wizard);
    EXPECT_TRUE(driver::WaitUntil([&] { return !driver::IsControlEnabled(page, kQuickLaunchIcon); }, 2000));
    EXPECT_TRUE(driver::IsControlEnabled(page, kDesktopIcon));
    EXPECT_EQ(driver::CheckState(page, kDesktopIcon), BST_UNCHECKED);
    driver::ClickControl(page, kDesktopIcon);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::CheckState(page, kDesktopIcon) == BST_CHECKED; }));

    ASSERT_TRUE(Advance(wizard, kReady));
    const std::string startMenu = "Create Start Menu folder:\r\n    Programs\\Korvane\r\n\r\n";
    const std::string desktop = "Additional tasks:\r\n    Additional icons:\r\n      Create a desktop icon\r\n";
    EXPECT_EQ(driver::ControlText(driver::CurrentPage(wizard), kSummary),
              Folders(programFolder_, dataFolder_) + startMenu + desktop);

    // Back to the Start Menu page: no folder this time, and the summary follows.
    for (int previous : {kTasks, kDataFolder, kStartMenu}) {
        driver::PressWizardButton(wizard, PSBTN_BACK);
        ASSERT_TRUE(driver::WaitForPage(wizard, previous));
    }
    page = driver::CurrentPage(wizard);
    driver::ClickControl(page, kNoStartMenuFolder);
    ASSERT_TRUE(driver::WaitUntil([&] { return !driver::IsControlEnabled(page, kStartMenuEdit); }));
    EXPECT_FALSE(driver::IsControlEnabled(page, kStartMenuBrowse));
    for (int next : {kDataFolder, kTasks, kReady}) ASSERT_TRUE(Advance(wizard, next));
    EXPECT_EQ(driver::ControlText(driver::CurrentPage(wizard), kSummary), Folders(programFolder_, dataFolder_) + desktop);

    // The checks removed their probe folders again.
    EXPECT_FALSE(IsFolder(programFolder_));
    EXPECT_FALSE(IsFolder(dataFolder_));
    EXPECT_FALSE(IsFolder(startMenuFolder_));
    CancelWizard(setup, wizard);
}

// Every activation of the Destination page, also a return with Back, closes running copies of the program.
TEST_F(QuestionPages, TheDestinationPageClosesRunningCopiesOfTheProgram) {
    constexpr char kProgramClass[] = "KorvaneRecorderMainWnd";
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, kStartMenu);
    ASSERT_NE(wizard, nullptr);
    driver::Process program = driver::Process::Start(driver::BuiltFile("KVR_STANDIN"), "");
    ASSERT_TRUE(driver::WaitUntil([&] { return FindWindowA(kProgramClass, nullptr) != nullptr; }));
    driver::PressWizardButton(wizard, PSBTN_BACK);
    ASSERT_TRUE(driver::WaitForPage(wizard, kDestination));
    EXPECT_TRUE(program.WaitForExit(5000));
    EXPECT_EQ(FindWindowA(kProgramClass, nullptr), nullptr);
    CancelWizard(setup, wizard);
}

TEST_F(QuestionPages, OnWindowsXpOnlyTheQuickLaunchIconCanBeChosen) {
    driver::SetWineAppDefault("setup.exe", "", "Version", "winxp");
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, kStartMenu);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    driver::ClickControl(page, kNoStartMenuFolder);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::CheckState(page, kNoStartMenuFolder) == BST_CHECKED; }));
    ASSERT_TRUE(Advance(wizard, kDataFolder));
    ASSERT_TRUE(Advance(wizard, kTasks));
    page = driver::CurrentPage(wizard);
    EXPECT_TRUE(driver::IsControlEnabled(page, kQuickLaunchIcon));
    driver::ClickControl(page, kQuickLaunchIcon);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::CheckState(page, kQuickLaunchIcon) == BST_CHECKED; }));
    ASSERT_TRUE(Advance(wizard, kReady));
    EXPECT_EQ(driver::ControlText(driver::CurrentPage(wizard), kSummary),
              Folders(programFolder_, dataFolder_) +
                  "Additional tasks:\r\n    Additional icons:\r\n      Create a Quick Launch icon\r\n");
    CancelWizard(setup, wizard);
}

TEST_F(QuestionPages, EveryRefusedDestinationNamesItsReasonAndKeepsThePage) {
    const std::string blocker = ScratchFile(profile_ + "\\kvr-blocker");
    ASSERT_TRUE(driver::WriteFileText(blocker, "a file where a folder should be"));
    const std::vector<Refusal> cases = {
        {"", "Please specify folder where you'd like to install the program..."},
        {" \t ", "Please specify folder where you'd like to install the program..."},
        {"C:\\Korvane:2", std::string("ERROR: Specified path for installation is not valid.\n\n") + kUseBrowse},
        {"C:\\Korvane?", std::string("ERROR: Specified path for installation is not valid.\n\n") + kUseBrowse},
        {"C:\\Kor|vane", std::string("ERROR: Specified path for installation is not valid.\n\n") + kUseBrowse},
        {"\\\\server\\share\\Korvane", kNotRecognizedText},
        {"C:Korvane", kNotRecognizedText},
        {blocker + "\\Korvane", kCannotWriteText},
    };
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, kDestination);
    ASSERT_NE(wizard, nullptr);
    ExpectDestinationRefusals(setup, wizard, cases);
    HWND page = driver::CurrentPage(wizard);
    // A bare fixed drive passes the form checks and is probed at its root.
    driver::SetControlText(page, kDestinationEdit, "C:");
    EXPECT_TRUE(Advance(wizard, kStartMenu));
    CancelWizard(setup, wizard);
}

// Only the first 259 characters reach the checks: a question mark behind them goes unnoticed.
TEST_F(QuestionPages, TypedFoldersAreCutTo259Characters) {
    const std::string typed = ScratchFile("C:\\kvr-long") + "\\" + std::string(200, 'a') + "\\" +
                              std::string(60, 'b') + "?";
    ASSERT_GT(typed.size(), 260u);
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, kDestination);
    ASSERT_NE(wizard, nullptr);
    driver::SetControlText(driver::CurrentPage(wizard), kDestinationEdit, typed);
    const MessageBoxInfo box = NextWithBox(setup, wizard);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, kCannotWriteText);  // the probe file does not fit behind a folder that long
    Answer(setup, box, IDOK);
    CancelWizard(setup, wizard);
}

TEST_F(QuestionPages, BrowsingPutsThePickedFolderWithTheProgramsOwnSubfolder) {
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, kDestination);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    Browse(setup, page, kDestinationBrowse, BrowserAnswer::Confirm);
    EXPECT_EQ(driver::ControlText(page, kDestinationEdit), SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Korvane");
    driver::SetControlText(page, kDestinationEdit, programFolder_);

    ASSERT_TRUE(Advance(wizard, kStartMenu));
    page = driver::CurrentPage(wizard);
    Browse(setup, page, kStartMenuBrowse, BrowserAnswer::Confirm);  // the Start Menu itself
    EXPECT_EQ(driver::ControlText(page, kStartMenuEdit), "Korvane");
    Browse(setup, page, kStartMenuBrowse, BrowserAnswer::ConfirmFirstSubfolder);  // its Programs folder
    EXPECT_EQ(driver::ControlText(page, kStartMenuEdit), "Programs\\Korvane");
    Browse(setup, page, kStartMenuBrowse, BrowserAnswer::Cancel);
    EXPECT_EQ(driver::ControlText(page, kStartMenuEdit), "Programs\\Korvane");

    ASSERT_TRUE(Advance(wizard, kDataFolder));
    page = driver::CurrentPage(wizard);
    Browse(setup, page, kDataBrowse, BrowserAnswer::Cancel);
    EXPECT_EQ(driver::ControlText(page, kDataEdit), dataFolder_);
    Browse(setup, page, kDataBrowse, BrowserAnswer::Confirm);
    EXPECT_EQ(driver::ControlText(page, kDataEdit), SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Korvane Recordings");
    CancelWizard(setup, wizard);
}

TEST_F(QuestionPages, TheDataFolderChecksNameTheDataFolder) {
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, kDataFolder);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    struct Case {
        const char* typed;
        std::string message;
    } cases[] = {
        {"", "Please specify recording & data files folder..."},
        {"C:\\a<b>", std::string("ERROR: Specified recording & data files folder path is not valid.\n\n") + kUseBrowse},
        {"Korvane Recordings", kNotRecognizedText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        driver::SetControlText(page, kDataEdit, c.typed);
        const MessageBoxInfo box = NextWithBox(setup, wizard);
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, c.message);
        Answer(setup, box, IDOK);
        EXPECT_EQ(driver::CurrentPageId(wizard), kDataFolder);
    }
    CancelWizard(setup, wizard);
}

// A header title or subtitle as the wizard shows it: it draws "&&" as "&", and takes a lone "&" for a mnemonic
// mark that underlines the next letter (`underlined` is then set).
std::string HeaderShows(const std::string& stored, bool& underlined) {
    std::string text;
    underlined = false;
    for (size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] != '&')
            text += stored[i];
        else if (i + 1 < stored.size() && stored[i + 1] == '&')
            text += stored[++i];
        else
            underlined = true;
    }
    return text;
}

TEST_F(QuestionPages, HeaderTextsShowEveryAmpersandAndUnderlineNothing) {
    for (int id = 129; id <= 146; ++id) {  // titles and subtitles of the nine pages
        const std::string stored = driver::ResourceString(setupExe_, id);
        bool underlined = true;
        EXPECT_FALSE(HeaderShows(stored, underlined).empty()) << id;
        EXPECT_FALSE(underlined) << id << ": " << stored;
    }
    bool underlined = true;
    EXPECT_EQ(HeaderShows(driver::ResourceString(setupExe_, 138), underlined),
              "Where should the program recording & data files be stored?");
}

// Without the right to write into the program-files folder the user is offered the suggested folder.
TEST_F(QuestionPages, AnUnwritableFolderWithoutFullRightsOffersTheSuggestion) {
    const std::string blocker = ScratchFile(profile_ + "\\kvr-blocker");
    ASSERT_TRUE(driver::WriteFileText(blocker, "a file where a folder should be"));
    const std::string programFilesProbe = ScratchFile(SpecialFolder(CSIDL_PROGRAM_FILES) + "\\Test1234");
    ASSERT_TRUE(driver::WriteFileText(programFilesProbe, "blocks the program-files probe"));

    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, kDestination);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    const std::string unwritable = blocker + "\\Korvane";
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        driver::SetControlText(page, kDestinationEdit, unwritable);
        const MessageBoxInfo box = NextWithBox(setup, wizard);
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, kResetOfferText);
        EXPECT_EQ(box.icon, IconKind::Error);
        EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
        Answer(setup, box, answer);
        EXPECT_EQ(driver::CurrentPageId(wizard), kDestination);
        EXPECT_EQ(driver::ControlText(page, kDestinationEdit), answer == IDYES ? programFolder_ : unwritable);
        EXPECT_TRUE(driver::IsControlEnabled(page, kDestinationEdit));
    }
    // The suggestion is then validated like any folder.
    EXPECT_TRUE(Advance(wizard, kStartMenu));
    CancelWizard(setup, wizard);
}

TEST_F(QuestionPages, FoldersOfAnEarlierInstallationAreLocked) {
    const std::string installed = ScratchFolder("kvr-installed");
    ASSERT_TRUE(driver::WriteFileText(installed + "\\kvr.exe", "the program"));
    const std::string recordings = ScratchFolder("kvr-recordings");
    ASSERT_TRUE(driver::WriteFileText(recordings + "\\take1.mp3", "recorded earlier"));
    driver::SetSetting("InstallFolder", ("  " + installed + "\\ ").c_str());
    driver::SetSetting("SetupSchdRcFldr", (recordings + "\\").c_str());

    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, kDestination);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    EXPECT_EQ(driver::ControlText(page, kDestinationEdit), installed);
    EXPECT_FALSE(driver::IsControlEnabled(page, kDestinationEdit));
    EXPECT_FALSE(driver::IsControlEnabled(page, kDestinationBrowse));
    EXPECT_EQ(driver::ControlText(page, kStatusLine), kReinstallText);

    ASSERT_TRUE(Advance(wizard, kStartMenu));
    ASSERT_TRUE(Advance(wizard, kDataFolder));
    page = driver::CurrentPage(wizard);
    EXPECT_EQ(driver::ControlText(page, kDataEdit), recordings);
    EXPECT_FALSE(driver::IsControlEnabled(page, kDataEdit));
    EXPECT_FALSE(driver::IsControlEnabled(page, kDataBrowse));
    EXPECT_EQ(driver::ControlText(page, kStatusLine), kDataDefinedText);

    for (int next : {kTasks, kReady}) ASSERT_TRUE(Advance(wizard, next));
    EXPECT_EQ(driver::ControlText(driver::CurrentPage(wizard), kSummary).rfind(Folders(installed, recordings), 0), 0u);
    CancelWizard(setup, wizard);
    EXPECT_TRUE(driver::FileExists(installed + "\\kvr.exe"));
    EXPECT_TRUE(driver::FileExists(recordings + "\\take1.mp3"));
}

TEST_F(QuestionPages, RecordedFoldersThatAreGoneOrHoldNoProgramAreOfferedAgainEditable) {
    const std::string withoutProgram = ScratchFolder("kvr-no-program");
    driver::SetSetting("InstallFolder", withoutProgram.c_str());
    driver::SetSetting("SetupSchdRcFldr", (withoutProgram + "\\deleted").c_str());

    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, kDestination);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    EXPECT_EQ(driver::ControlText(page, kDestinationEdit), withoutProgram);
    EXPECT_TRUE(driver::IsControlEnabled(page, kDestinationEdit));
    EXPECT_EQ(driver::ControlText(page, kStatusLine), "");
    ASSERT_TRUE(Advance(wizard, kStartMenu));
    ASSERT_TRUE(Advance(wizard, kDataFolder));
    page = driver::CurrentPage(wizard);
    EXPECT_EQ(driver::ControlText(page, kDataEdit), withoutProgram + "\\deleted");
    EXPECT_TRUE(driver::IsControlEnabled(page, kDataEdit));
    EXPECT_EQ(driver::ControlText(page, kStatusLine), "");
    CancelWizard(setup, wizard);
}

TEST_F(QuestionPages, AStartMenuFolderThatCannotBeMadeCanBeLeftOut) {
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, kStartMenu);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);

    driver::SetControlText(page, kStartMenuEdit, " \t");
    MessageBoxInfo box = NextWithBox(setup, wizard);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "Please specify Start Menu shortcut name...");
    EXPECT_EQ(box.icon, IconKind::Error);
    Answer(setup, box, IDOK);
    EXPECT_EQ(driver::CurrentPageId(wizard), kStartMenu);

    driver::SetControlText(page, kStartMenuEdit, "Korvane|Audio");
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        box = NextWithBox(setup, wizard);
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, "Start Menu shortcut cannot be created.\nContinue?");
        EXPECT_EQ(box.icon, IconKind::Error);
        EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
        Answer(setup, box, answer);
        if (answer == IDNO) {
            EXPECT_EQ(driver::CurrentPageId(wizard), kStartMenu);
        }
    }
    ASSERT_TRUE(driver::WaitForPage(wizard, kDataFolder));
    for (int next : {kTasks, kReady}) ASSERT_TRUE(Advance(wizard, next));
    EXPECT_EQ(driver::ControlText(driver::CurrentPage(wizard), kSummary), Folders(programFolder_, dataFolder_));
    CancelWizard(setup, wizard);
}

// The Start Menu links may go only below the Programs folder and outside Startup: any other name is asked
// about as a folder that cannot be made, before any folder is made for it.
TEST_F(QuestionPages, AStartMenuFolderThatLeadsElsewhereIsAskedAbout) {
    const std::string startMenu = SpecialFolder(CSIDL_STARTMENU);
    const std::string programs = SpecialFolder(CSIDL_PROGRAMS);
    struct Case {
        const char* typed;
        std::string resolved;  // where it would have gone
    } cases[] = {
        {"..\\Startup", startMenu + "\\..\\Startup"},
        {"../Startup/Korvane", startMenu + "\\..\\Startup\\Korvane"},
        {"..\\..\\Desktop", startMenu + "\\..\\..\\Desktop"},
        {"...\\Startup", startMenu + "\\..\\Startup"},
        {"Programs\\..\\..\\Korvane", startMenu + "\\..\\Korvane"},
        {"Programs\\StartUp\\Korvane", SpecialFolder(CSIDL_STARTUP) + "\\Korvane"},
        {"Programs", programs},
        {"\\Korvane", startMenu + "\\Korvane"},
        {"C:\\Korvane", "C:\\Korvane"},
        {"\\\\server\\share\\Korvane", startMenu + "\\server"},
    };
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, kStartMenu);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const bool existed = IsFolder(c.resolved);
        driver::SetControlText(page, kStartMenuEdit, c.typed);
        const MessageBoxInfo box = NextWithBox(setup, wizard);
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, "Start Menu shortcut cannot be created.\nContinue?");
        EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
        Answer(setup, box, IDNO);
        EXPECT_EQ(driver::CurrentPageId(wizard), kStartMenu);
        EXPECT_EQ(IsFolder(c.resolved), existed) << c.resolved;
    }
    // A folder of folders below Programs is taken as it is.
    ScratchFile(programs + "\\My Apps");
    driver::SetControlText(page, kStartMenuEdit, "Programs\\My Apps\\Korvane");
    for (int next : {kDataFolder, kTasks, kReady}) ASSERT_TRUE(Advance(wizard, next));
    EXPECT_NE(driver::ControlText(driver::CurrentPage(wizard), kSummary)
                  .find("Create Start Menu folder:\r\n    Programs\\My Apps\\Korvane\r\n"),
              std::string::npos);
    CancelWizard(setup, wizard);
}

TEST_F(QuestionPages, CancelAsksOnEveryPageAndNoKeepsThePage) {
    for (int target = kWelcome; target <= kReady; ++target) {
        SCOPED_TRACE(target);
        driver::Process setup = Start();
        HWND wizard = WalkTo(setup, target);
        ASSERT_NE(wizard, nullptr);
        driver::PressWizardButton(wizard, PSBTN_CANCEL);
        const MessageBoxInfo confirm = setup.WaitForMessageBox();
        ASSERT_NE(confirm.window, nullptr);
        EXPECT_EQ(confirm.text, kCancelText);
        EXPECT_EQ(confirm.icon, IconKind::Question);
        Answer(setup, confirm, IDNO);
        Sleep(200);
        EXPECT_TRUE(setup.Running());
        EXPECT_EQ(driver::CurrentPageId(wizard), target);
        CancelWizard(setup, wizard);
    }
}

TEST_F(QuestionPages, CancelRemovesOnlyTheEmptyTargetFolders) {
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, kReady);
    ASSERT_NE(wizard, nullptr);
    // What the installation would have made so far: two empty folders and one with a recording.
    for (const std::string& folder : {programFolder_, dataFolder_, startMenuFolder_})
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    ASSERT_TRUE(driver::WriteFileText(dataFolder_ + "\\take1.mp3", "recorded"));
    CancelWizard(setup, wizard);
    EXPECT_FALSE(IsFolder(programFolder_));
    EXPECT_FALSE(IsFolder(startMenuFolder_));
    EXPECT_TRUE(driver::FileExists(dataFolder_ + "\\take1.mp3"));
}

// Needs the drive letters that drive_letters.sh gives the Wine prefix.
class DriveKinds : public QuestionPages {};

TEST_F(DriveKinds, FoldersOffFixedLocalDisksAreRefused) {
    const std::string nonFixed =
        "ERROR: You have selected a non-fixed drive.\n\nPlease select a folder on a fixed disk on your local "
        "computer...";
    const std::vector<Refusal> cases = {
        {"K:\\Korvane", nonFixed},
        {"L:\\Korvane", nonFixed},
        {"N:\\Korvane", std::string("ERROR: Specified network drive that cannot be used.\n") + kUseBrowse},
        {"R:\\Korvane", std::string("ERROR: Specified RAM disc drive that cannot be used.\n") + kUseBrowse},
        {"Q:\\Korvane", std::string("ERROR: Specified invalid root path.\n") + kUseBrowse},
    };
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, kDestination);
    ASSERT_NE(wizard, nullptr);
    ExpectDestinationRefusals(setup, wizard, cases);
    CancelWizard(setup, wizard);
}

// The recorded program folder lies on a drive that can no longer be used: after the
// message the page offers the suggested folder, unlocked.
TEST_F(DriveKinds, ALockedFolderThatFailsIsReplacedByTheSuggestion) {
    const std::string installed = ScratchFile("R:\\Korvane");
    ASSERT_TRUE(CreateDirectoryA(installed.c_str(), nullptr));
    ASSERT_TRUE(driver::WriteFileText(installed + "\\kvr.exe", "the program"));
    driver::SetSetting("InstallFolder", installed.c_str());

    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, kDestination);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    ASSERT_FALSE(driver::IsControlEnabled(page, kDestinationEdit));
    const MessageBoxInfo box = NextWithBox(setup, wizard);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, std::string("ERROR: Specified RAM disc drive that cannot be used.\n") + kUseBrowse);
    Answer(setup, box, IDOK);
    EXPECT_EQ(driver::CurrentPageId(wizard), kDestination);
    EXPECT_EQ(driver::ControlText(page, kDestinationEdit), programFolder_);
    EXPECT_TRUE(driver::IsControlEnabled(page, kDestinationEdit));
    EXPECT_TRUE(driver::IsControlEnabled(page, kDestinationBrowse));
    EXPECT_TRUE(Advance(wizard, kStartMenu));
    CancelWizard(setup, wizard);
}

}  // namespace
