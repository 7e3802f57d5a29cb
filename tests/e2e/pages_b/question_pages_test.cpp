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
#include "foundation/portable/product.h"
#include "resources/resource.h"
#include "shell_items.h"
#include "user_registry.h"
#include "wizard_walk.h"

namespace {

using driver::Advance;
using driver::IconKind;
using driver::IsFolder;
using driver::MessageBoxInfo;
using e2e::CancelWizard;
using e2e::kCancelText;
using e2e::WalkTo;

constexpr char kUseBrowse[] = "If you're not sure how to write a path, use Browse button...";
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

// The special folders the setup suggests, made where the prefix has none.
std::string SpecialFolder(int csidl) { return driver::SpecialFolder(csidl | CSIDL_FLAG_CREATE); }

std::string Environment(const char* name) {
    char value[MAX_PATH] = "";
    GetEnvironmentVariableA(name, value, MAX_PATH);
    return value;
}

// The shell's folder browser that the setup shows, or null.
HWND FolderBrowser(const driver::Process& setup) {
    for (HWND window : setup.Windows()) {
        if (FindWindowExA(window, nullptr, "SysTreeView32", nullptr) != nullptr) return window;
    }
    return nullptr;
}

enum class BrowserAnswer { Confirm, ConfirmFirstSubfolder, Cancel };

// Opens the browser with the page's Browse button and answers it: OK on what it selects at
// first (its root, or the desktop without one), OK on the first folder below that root, or Cancel.
void Browse(const driver::Process& setup, HWND page, int browseButton, BrowserAnswer answer) {
    driver::ClickControl(page, browseButton);
    HWND browser = nullptr;
    ASSERT_TRUE(driver::WaitUntil([&] { return (browser = FolderBrowser(setup)) != nullptr; }));
    // Ready once it has selected where it starts and handled what it posted itself on the way.
    HWND tree = FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::SendWindowMessage(tree, TVM_GETNEXTITEM, TVGN_CARET) != 0; }));
    ASSERT_TRUE(driver::WaitForPostedMessages(browser));
    if (answer == BrowserAnswer::ConfirmFirstSubfolder) {
        const LRESULT root = driver::SendWindowMessage(tree, TVM_GETNEXTITEM, TVGN_ROOT);
        driver::SendWindowMessage(tree, TVM_EXPAND, TVE_EXPAND, root);
        const LRESULT child = driver::SendWindowMessage(tree, TVM_GETNEXTITEM, TVGN_CHILD, root);
        ASSERT_NE(child, 0);
        driver::SendWindowMessage(tree, TVM_SELECTITEM, TVGN_CARET, child);
    }
    driver::ClickButton(browser, answer == BrowserAnswer::Cancel ? IDCANCEL : IDOK);
    ASSERT_TRUE(driver::WaitUntil([&] { return FolderBrowser(setup) == nullptr; }));
    // Under Wine the browser takes a while to return once its window is gone; the page has its answer when
    // the wizard is handling messages again.
    ASSERT_TRUE(driver::WaitForPostedMessages(GetParent(page)));
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

    // Presses Next and returns the message box that follows (with a null window if none came).
    static MessageBoxInfo NextWithBox(driver::Process& setup, HWND wizard) {
        driver::PressWizardButton(wizard, PSBTN_NEXT);
        return setup.WaitForMessageBox();
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
            driver::SetControlText(page, IDC_DESTINATION_FOLDER, c.typed);
            const MessageBoxInfo box = NextWithBox(setup, wizard);
            ASSERT_NE(box.window, nullptr);
            EXPECT_EQ(box.caption, "Korvane 1.2.3 - Setup");
            EXPECT_EQ(box.text, c.message);
            EXPECT_EQ(box.icon, IconKind::Error);
            EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
            e2e::AnswerBox(setup, wizard, box, IDOK);
            EXPECT_EQ(driver::CurrentPageId(wizard), IDD_DESTINATION);
            EXPECT_EQ(driver::ControlText(page, IDC_DESTINATION_FOLDER), c.typed);
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
    HWND wizard = WalkTo(setup, IDD_DESTINATION);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    EXPECT_EQ(driver::ControlText(page, IDC_DESTINATION_FOLDER), programFolder_);
    EXPECT_TRUE(driver::IsControlEnabled(page, IDC_DESTINATION_FOLDER));
    EXPECT_TRUE(driver::IsControlEnabled(page, IDC_DESTINATION_BROWSE));
    EXPECT_EQ(driver::ControlText(page, IDC_FOLDER_STATUS), "");
    EXPECT_EQ(driver::ControlText(page, IDC_DESTINATION_INFO), kPerUserText);

    ASSERT_TRUE(Advance(wizard, IDD_STARTMENU));
    page = driver::CurrentPage(wizard);
    EXPECT_EQ(driver::ControlText(page, IDC_STARTMENU_FOLDER), "Programs\\Korvane");
    EXPECT_EQ(driver::CheckState(page, IDC_STARTMENU_NONE), BST_UNCHECKED);

    ASSERT_TRUE(Advance(wizard, IDD_DATAFOLDER));
    page = driver::CurrentPage(wizard);
    EXPECT_EQ(driver::ControlText(page, IDC_DATAFOLDER_FOLDER), dataFolder_);
    EXPECT_TRUE(driver::IsControlEnabled(page, IDC_DATAFOLDER_FOLDER));
    EXPECT_TRUE(driver::IsControlEnabled(page, IDC_DATAFOLDER_BROWSE));
    EXPECT_EQ(driver::ControlText(page, IDC_FOLDER_STATUS), "");

    ASSERT_TRUE(Advance(wizard, IDD_TASKS));
    page = driver::CurrentPage(wizard);
    EXPECT_TRUE(driver::WaitUntil([&] { return !driver::IsControlEnabled(page, IDC_TASKS_QUICKLAUNCH); }, 2000));
    EXPECT_TRUE(driver::IsControlEnabled(page, IDC_TASKS_DESKTOP));
    EXPECT_EQ(driver::CheckState(page, IDC_TASKS_DESKTOP), BST_UNCHECKED);
    driver::ClickControl(page, IDC_TASKS_DESKTOP);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::CheckState(page, IDC_TASKS_DESKTOP) == BST_CHECKED; }));

    ASSERT_TRUE(Advance(wizard, IDD_READY));
    const std::string startMenu = "Create Start Menu folder:\r\n    Programs\\Korvane\r\n\r\n";
    const std::string desktop = "Additional tasks:\r\n    Additional icons:\r\n      Create a desktop icon\r\n";
    EXPECT_EQ(driver::ControlText(driver::CurrentPage(wizard), IDC_READY_SUMMARY),
              Folders(programFolder_, dataFolder_) + startMenu + desktop);

    // Back to the Start Menu page: no folder this time, and the summary follows.
    for (int previous : {IDD_TASKS, IDD_DATAFOLDER, IDD_STARTMENU}) {
        driver::PressWizardButton(wizard, PSBTN_BACK);
        ASSERT_TRUE(driver::WaitForPage(wizard, previous));
    }
    page = driver::CurrentPage(wizard);
    driver::ClickControl(page, IDC_STARTMENU_NONE);
    ASSERT_TRUE(driver::WaitUntil([&] { return !driver::IsControlEnabled(page, IDC_STARTMENU_FOLDER); }));
    EXPECT_FALSE(driver::IsControlEnabled(page, IDC_STARTMENU_BROWSE));
    for (int next : {IDD_DATAFOLDER, IDD_TASKS, IDD_READY}) ASSERT_TRUE(Advance(wizard, next));
    EXPECT_EQ(driver::ControlText(driver::CurrentPage(wizard), IDC_READY_SUMMARY), Folders(programFolder_, dataFolder_) + desktop);

    // The checks removed their probe folders again.
    EXPECT_FALSE(IsFolder(programFolder_));
    EXPECT_FALSE(IsFolder(dataFolder_));
    EXPECT_FALSE(IsFolder(startMenuFolder_));
    CancelWizard(setup, wizard);
}

// Every activation of the Destination page, also a return with Back, closes running copies of the program.
TEST_F(QuestionPages, TheDestinationPageClosesRunningCopiesOfTheProgram) {
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, IDD_STARTMENU);
    ASSERT_NE(wizard, nullptr);
    driver::Process program = driver::Process::Start(driver::BuiltFile("KVR_STANDIN"), "");
    ASSERT_TRUE(driver::WaitUntil([&] { return FindWindowA(product::kMainWindowClass, nullptr) != nullptr; }));
    driver::PressWizardButton(wizard, PSBTN_BACK);
    ASSERT_TRUE(driver::WaitForPage(wizard, IDD_DESTINATION));
    EXPECT_TRUE(program.WaitForExit(5000));
    EXPECT_EQ(FindWindowA(product::kMainWindowClass, nullptr), nullptr);
    CancelWizard(setup, wizard);
}

TEST_F(QuestionPages, OnWindowsXpOnlyTheQuickLaunchIconCanBeChosen) {
    driver::SetWineAppDefault("setup.exe", "", "Version", "winxp");
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, IDD_STARTMENU);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    driver::ClickControl(page, IDC_STARTMENU_NONE);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::CheckState(page, IDC_STARTMENU_NONE) == BST_CHECKED; }));
    ASSERT_TRUE(Advance(wizard, IDD_DATAFOLDER));
    ASSERT_TRUE(Advance(wizard, IDD_TASKS));
    page = driver::CurrentPage(wizard);
    EXPECT_TRUE(driver::IsControlEnabled(page, IDC_TASKS_QUICKLAUNCH));
    driver::ClickControl(page, IDC_TASKS_QUICKLAUNCH);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::CheckState(page, IDC_TASKS_QUICKLAUNCH) == BST_CHECKED; }));
    ASSERT_TRUE(Advance(wizard, IDD_READY));
    EXPECT_EQ(driver::ControlText(driver::CurrentPage(wizard), IDC_READY_SUMMARY),
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
    HWND wizard = WalkTo(setup, IDD_DESTINATION);
    ASSERT_NE(wizard, nullptr);
    ExpectDestinationRefusals(setup, wizard, cases);
    HWND page = driver::CurrentPage(wizard);
    // A bare fixed drive passes the form checks and is probed at its root.
    driver::SetControlText(page, IDC_DESTINATION_FOLDER, "C:");
    EXPECT_TRUE(Advance(wizard, IDD_STARTMENU));
    CancelWizard(setup, wizard);
}

// Only the first 259 characters reach the checks: a question mark behind them goes unnoticed.
TEST_F(QuestionPages, TypedFoldersAreCutTo259Characters) {
    const std::string typed = ScratchFile("C:\\kvr-long") + "\\" + std::string(200, 'a') + "\\" +
                              std::string(60, 'b') + "?";
    ASSERT_GT(typed.size(), 260u);
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, IDD_DESTINATION);
    ASSERT_NE(wizard, nullptr);
    driver::SetControlText(driver::CurrentPage(wizard), IDC_DESTINATION_FOLDER, typed);
    const MessageBoxInfo box = NextWithBox(setup, wizard);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, kCannotWriteText);  // the probe file does not fit behind a folder that long
    e2e::AnswerBox(setup, wizard, box, IDOK);
    CancelWizard(setup, wizard);
}

TEST_F(QuestionPages, BrowsingPutsThePickedFolderWithTheProgramsOwnSubfolder) {
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, IDD_DESTINATION);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    Browse(setup, page, IDC_DESTINATION_BROWSE, BrowserAnswer::Confirm);
    EXPECT_EQ(driver::ControlText(page, IDC_DESTINATION_FOLDER), SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Korvane");
    driver::SetControlText(page, IDC_DESTINATION_FOLDER, programFolder_);

    ASSERT_TRUE(Advance(wizard, IDD_STARTMENU));
    page = driver::CurrentPage(wizard);
    Browse(setup, page, IDC_STARTMENU_BROWSE, BrowserAnswer::Confirm);  // the Start Menu itself
    EXPECT_EQ(driver::ControlText(page, IDC_STARTMENU_FOLDER), "Korvane");
    Browse(setup, page, IDC_STARTMENU_BROWSE, BrowserAnswer::ConfirmFirstSubfolder);  // its Programs folder
    EXPECT_EQ(driver::ControlText(page, IDC_STARTMENU_FOLDER), "Programs\\Korvane");
    Browse(setup, page, IDC_STARTMENU_BROWSE, BrowserAnswer::Cancel);
    EXPECT_EQ(driver::ControlText(page, IDC_STARTMENU_FOLDER), "Programs\\Korvane");

    ASSERT_TRUE(Advance(wizard, IDD_DATAFOLDER));
    page = driver::CurrentPage(wizard);
    Browse(setup, page, IDC_DATAFOLDER_BROWSE, BrowserAnswer::Cancel);
    EXPECT_EQ(driver::ControlText(page, IDC_DATAFOLDER_FOLDER), dataFolder_);
    Browse(setup, page, IDC_DATAFOLDER_BROWSE, BrowserAnswer::Confirm);
    EXPECT_EQ(driver::ControlText(page, IDC_DATAFOLDER_FOLDER), SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Korvane Recordings");
    CancelWizard(setup, wizard);
}

TEST_F(QuestionPages, TheDataFolderChecksNameTheDataFolder) {
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, IDD_DATAFOLDER);
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
        driver::SetControlText(page, IDC_DATAFOLDER_FOLDER, c.typed);
        const MessageBoxInfo box = NextWithBox(setup, wizard);
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, c.message);
        e2e::AnswerBox(setup, wizard, box, IDOK);
        EXPECT_EQ(driver::CurrentPageId(wizard), IDD_DATAFOLDER);
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
    HWND wizard = WalkTo(setup, IDD_DESTINATION);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    const std::string unwritable = blocker + "\\Korvane";
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        driver::SetControlText(page, IDC_DESTINATION_FOLDER, unwritable);
        const MessageBoxInfo box = NextWithBox(setup, wizard);
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, kResetOfferText);
        EXPECT_EQ(box.icon, IconKind::Error);
        EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
        e2e::AnswerBox(setup, wizard, box, answer);
        EXPECT_EQ(driver::CurrentPageId(wizard), IDD_DESTINATION);
        EXPECT_EQ(driver::ControlText(page, IDC_DESTINATION_FOLDER), answer == IDYES ? programFolder_ : unwritable);
        EXPECT_TRUE(driver::IsControlEnabled(page, IDC_DESTINATION_FOLDER));
    }
    // The suggestion is then validated like any folder.
    EXPECT_TRUE(Advance(wizard, IDD_STARTMENU));
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
    HWND wizard = WalkTo(setup, IDD_DESTINATION);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    EXPECT_EQ(driver::ControlText(page, IDC_DESTINATION_FOLDER), installed);
    EXPECT_FALSE(driver::IsControlEnabled(page, IDC_DESTINATION_FOLDER));
    EXPECT_FALSE(driver::IsControlEnabled(page, IDC_DESTINATION_BROWSE));
    EXPECT_EQ(driver::ControlText(page, IDC_FOLDER_STATUS), kReinstallText);

    ASSERT_TRUE(Advance(wizard, IDD_STARTMENU));
    ASSERT_TRUE(Advance(wizard, IDD_DATAFOLDER));
    page = driver::CurrentPage(wizard);
    EXPECT_EQ(driver::ControlText(page, IDC_DATAFOLDER_FOLDER), recordings);
    EXPECT_FALSE(driver::IsControlEnabled(page, IDC_DATAFOLDER_FOLDER));
    EXPECT_FALSE(driver::IsControlEnabled(page, IDC_DATAFOLDER_BROWSE));
    EXPECT_EQ(driver::ControlText(page, IDC_FOLDER_STATUS), kDataDefinedText);

    for (int next : {IDD_TASKS, IDD_READY}) ASSERT_TRUE(Advance(wizard, next));
    EXPECT_EQ(driver::ControlText(driver::CurrentPage(wizard), IDC_READY_SUMMARY).rfind(Folders(installed, recordings), 0), 0u);
    CancelWizard(setup, wizard);
    EXPECT_TRUE(driver::FileExists(installed + "\\kvr.exe"));
    EXPECT_TRUE(driver::FileExists(recordings + "\\take1.mp3"));
}

TEST_F(QuestionPages, RecordedFoldersThatAreGoneOrHoldNoProgramAreOfferedAgainEditable) {
    const std::string withoutProgram = ScratchFolder("kvr-no-program");
    driver::SetSetting("InstallFolder", withoutProgram.c_str());
    driver::SetSetting("SetupSchdRcFldr", (withoutProgram + "\\deleted").c_str());

    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, IDD_DESTINATION);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    EXPECT_EQ(driver::ControlText(page, IDC_DESTINATION_FOLDER), withoutProgram);
    EXPECT_TRUE(driver::IsControlEnabled(page, IDC_DESTINATION_FOLDER));
    EXPECT_EQ(driver::ControlText(page, IDC_FOLDER_STATUS), "");
    ASSERT_TRUE(Advance(wizard, IDD_STARTMENU));
    ASSERT_TRUE(Advance(wizard, IDD_DATAFOLDER));
    page = driver::CurrentPage(wizard);
    EXPECT_EQ(driver::ControlText(page, IDC_DATAFOLDER_FOLDER), withoutProgram + "\\deleted");
    EXPECT_TRUE(driver::IsControlEnabled(page, IDC_DATAFOLDER_FOLDER));
    EXPECT_EQ(driver::ControlText(page, IDC_FOLDER_STATUS), "");
    CancelWizard(setup, wizard);
}

TEST_F(QuestionPages, AStartMenuFolderThatCannotBeMadeCanBeLeftOut) {
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, IDD_STARTMENU);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);

    driver::SetControlText(page, IDC_STARTMENU_FOLDER, " \t");
    MessageBoxInfo box = NextWithBox(setup, wizard);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "Please specify Start Menu shortcut name...");
    EXPECT_EQ(box.icon, IconKind::Error);
    e2e::AnswerBox(setup, wizard, box, IDOK);
    EXPECT_EQ(driver::CurrentPageId(wizard), IDD_STARTMENU);

    driver::SetControlText(page, IDC_STARTMENU_FOLDER, "Korvane|Audio");
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        box = NextWithBox(setup, wizard);
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, "Start Menu shortcut cannot be created.\nContinue?");
        EXPECT_EQ(box.icon, IconKind::Error);
        EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
        e2e::AnswerBox(setup, wizard, box, answer);
        if (answer == IDNO) {
            EXPECT_EQ(driver::CurrentPageId(wizard), IDD_STARTMENU);
        }
    }
    ASSERT_TRUE(driver::WaitForPage(wizard, IDD_DATAFOLDER));
    for (int next : {IDD_TASKS, IDD_READY}) ASSERT_TRUE(Advance(wizard, next));
    EXPECT_EQ(driver::ControlText(driver::CurrentPage(wizard), IDC_READY_SUMMARY), Folders(programFolder_, dataFolder_));
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
    HWND wizard = WalkTo(setup, IDD_STARTMENU);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const bool existed = IsFolder(c.resolved);
        driver::SetControlText(page, IDC_STARTMENU_FOLDER, c.typed);
        const MessageBoxInfo box = NextWithBox(setup, wizard);
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, "Start Menu shortcut cannot be created.\nContinue?");
        EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
        e2e::AnswerBox(setup, wizard, box, IDNO);
        EXPECT_EQ(driver::CurrentPageId(wizard), IDD_STARTMENU);
        EXPECT_EQ(IsFolder(c.resolved), existed) << c.resolved;
    }
    // A folder of folders below Programs is taken as it is.
    ScratchFile(programs + "\\My Apps");
    driver::SetControlText(page, IDC_STARTMENU_FOLDER, "Programs\\My Apps\\Korvane");
    for (int next : {IDD_DATAFOLDER, IDD_TASKS, IDD_READY}) ASSERT_TRUE(Advance(wizard, next));
    EXPECT_NE(driver::ControlText(driver::CurrentPage(wizard), IDC_READY_SUMMARY)
                  .find("Create Start Menu folder:\r\n    Programs\\My Apps\\Korvane\r\n"),
              std::string::npos);
    CancelWizard(setup, wizard);
}

TEST_F(QuestionPages, CancelAsksOnEveryPageAndNoKeepsThePage) {
    for (int target = IDD_WELCOME; target <= IDD_READY; ++target) {
        SCOPED_TRACE(target);
        driver::Process setup = Start();
        HWND wizard = WalkTo(setup, target);
        ASSERT_NE(wizard, nullptr);
        driver::PressWizardButton(wizard, PSBTN_CANCEL);
        const MessageBoxInfo confirm = setup.WaitForMessageBox();
        ASSERT_NE(confirm.window, nullptr);
        EXPECT_EQ(confirm.text, kCancelText);
        EXPECT_EQ(confirm.icon, IconKind::Question);
        e2e::AnswerBox(setup, wizard, confirm, IDNO);
        EXPECT_TRUE(setup.Running());
        EXPECT_EQ(driver::CurrentPageId(wizard), target);
        CancelWizard(setup, wizard);
    }
}

TEST_F(QuestionPages, CancelRemovesOnlyTheEmptyTargetFolders) {
    driver::Process setup = Start();
    HWND wizard = WalkTo(setup, IDD_READY);
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
    HWND wizard = WalkTo(setup, IDD_DESTINATION);
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
    HWND wizard = WalkTo(setup, IDD_DESTINATION);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    ASSERT_FALSE(driver::IsControlEnabled(page, IDC_DESTINATION_FOLDER));
    const MessageBoxInfo box = NextWithBox(setup, wizard);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, std::string("ERROR: Specified RAM disc drive that cannot be used.\n") + kUseBrowse);
    e2e::AnswerBox(setup, wizard, box, IDOK);
    EXPECT_EQ(driver::CurrentPageId(wizard), IDD_DESTINATION);
    EXPECT_EQ(driver::ControlText(page, IDC_DESTINATION_FOLDER), programFolder_);
    EXPECT_TRUE(driver::IsControlEnabled(page, IDC_DESTINATION_FOLDER));
    EXPECT_TRUE(driver::IsControlEnabled(page, IDC_DESTINATION_BROWSE));
    EXPECT_TRUE(Advance(wizard, IDD_STARTMENU));
    CancelWizard(setup, wizard);
}

}  // namespace
