// The installation steps run in-process against scratch folders, with the
// application archive read from setup.exe: files, rollback, settings,
// shortcuts and the uninstall entry.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "apps_entry.h"
#include "driver.h"
#include "failing_malloc.h"
#include "folder_snapshot.h"
#include "shell_items.h"
#include "user_registry.h"
#include "engine/file_install.h"
#include "engine/install_driver.h"
#include "engine/install_journal.h"
#include "engine/portable/install_state.h"
#include "engine/portable/journal_text.h"
#include "engine/portable/package_archive.h"
#include "engine/prepare.h"
#include "failing_malloc.h"
#include "foundation/folders.h"
#include "foundation/globals.h"
#include "foundation/portable/install_choices.h"
#include "foundation/portable/product.h"
#include "foundation/resource_data.h"
#include "foundation/win_handles.h"
#include "integration/portable/referrer_scramble.h"
#include "integration/portable/settings_values.h"
#include "integration/settings.h"
#include "integration/shortcuts.h"
#include "integration/uninstall_registration.h"
#include "resources/resource.h"

namespace {

constexpr int kFileCount = 102;

using driver::Differences;
using driver::FileExists;
using driver::LinkTarget;
using driver::Snapshot;
using driver::SnapshotOf;
using driver::SpecialFolder;

driver::RegistryValue Setting(const char* name) { return driver::ReadValue(product::kSettingsKey, name); }

class InstallEngine : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        setup_ = LoadLibraryExA(driver::BuiltFile("KVR_SETUP_EXE").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(setup_, nullptr);
        g_setup.instance = setup_;
        g_setup.wizardWindow = nullptr;
        const ResourceData data = LoadResourceData(IDR_PACKAGE);
        ASSERT_TRUE(payload_.Open(data.bytes, data.size));
        ASSERT_EQ(payload_.Count(), 101u);

        driver::ResetSetupRegistry();
        scratch_ = driver::ScratchFolder("kvr-engine");
        program_ = scratch_ + "\\Programs\\Korvane";
        menus_ = SpecialFolder(CSIDL_PROGRAMS) + "\\kvr-engine";
        data_ = scratch_ + "\\Music\\Korvane Data";
        g_choices = InstallChoices();
        g_choices.InstallFolder = program_.c_str();
        g_choices.DataFolder = data_.c_str();
        g_choices.TempFolder = "";
        g_facts.PreviousInstallFound = 0;
        ResetInstallState();
        ForgetJournal();
    }
    void TearDown() override {
        ResetInstallState();
        ForgetJournal();
        driver::ResetSetupRegistry();
        for (const std::string& link : desktopLinks_) DeleteFileA(link.c_str());
        driver::RemoveTree(scratch_);
        driver::RemoveTree(menus_);
        payload_.Reset();
        g_setup.instance = nullptr;
        if (setup_ != nullptr) FreeLibrary(setup_);
        CoUninitialize();
    }

    static void ForgetJournal() {
        CloseInstallJournal();
        DeleteFileA(RecoveryJournalPath().c_str());
    }

    // Runs the steps from the current index to the end, as the timer would; on failure rolls back as the
    // driver does and returns the error text. Empty text: the installation finished.
    std::string RunInstallation(int stopBeforeStep = -1, const std::function<void()>& beforeRollback = nullptr) {
        while (!g_install.stopFlag) {
            if (g_install.stepIndex == stopBeforeStep) return "<paused>";
            SetupString error("");
            int32_t glitch = 0;
            lastStep_ = g_install.stepIndex;
            if (!RunDueInstallStep(nullptr, error, glitch)) {
                if (beforeRollback) beforeRollback();
                lastUnrestored_ = AbandonInstallation(nullptr).c_str();
                return error.Empty() ? "<failed without a message>" : error.c_str();
            }
        }
        return "";
    }

    std::string InstallFresh() {
        ResetInstallState();
        return RunInstallation();
    }

    // Name and bytes that file index k installs.
    std::string FileName(int k) const { return k == 0 ? "__cdcb.lx" : payload_.Entry(k - 1).name; }
    std::string FileBytes(int k) const {
        const PackageEntry& entry = payload_.Entry(EntryIndexOfFile(k));
        return std::string(reinterpret_cast<const char*>(payload_.Data(entry)), entry.size);
    }

    void ExpectPayloadInstalled() {
        const Snapshot installed = SnapshotOf(program_);
        int files = 0;
        for (const auto& [name, item] : installed) files += item.folder ? 0 : 1;
        EXPECT_EQ(files, kFileCount);
        for (int k = 0; k < kFileCount; ++k) {
            const auto it = installed.find(FileName(k));
            ASSERT_NE(it, installed.end()) << FileName(k);
            EXPECT_TRUE(it->second.bytes == FileBytes(k)) << FileName(k);
            const bool hidden = (it->second.attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
            EXPECT_EQ(hidden, k <= 1) << FileName(k);
        }
    }

    std::string TempFolder() const { return WithoutTrailingSeparator(g_choices.TempFolder.c_str()).c_str(); }

    HMODULE setup_ = nullptr;
    PackageArchive payload_;
    std::string scratch_, program_, data_;
    std::string menus_;  // Start Menu folders of the tests, below the Programs folder
    std::vector<std::string> desktopLinks_;
    int32_t lastStep_ = -1;
    std::string lastUnrestored_;
};

TEST_F(InstallEngine, FullRunInstallsEveryFileAndRemovesTheGeneratedTempFolder) {
    ASSERT_EQ(InstallFresh(), "");
    EXPECT_EQ(g_install.stepTotal, 106);
    EXPECT_EQ(g_install.stepIndex, 106);
    ExpectPayloadInstalled();
    EXPECT_EQ(driver::ReadFileText(program_ + "\\__cdca.lx"), driver::ReadFileText(program_ + "\\__cdcb.lx"));

    // The generated folder lay below the user's temporary folder, and is gone again.
    const std::string system = driver::TempFolder();
    const std::string temp = TempFolder();
    EXPECT_EQ(temp.rfind(system + "instrb", 0), 0u) << temp;
    EXPECT_EQ(temp.size(), system.size() + 13) << temp;
    EXPECT_FALSE(FileExists(temp));
}

// A folder standing where file index k must go makes its step fail.
void PlaceObstacle(const std::string& program, const std::string& name) {
    const std::string path = program + "\\" + name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    CreateFolderChain((path + "\\").c_str());
}

TEST_F(InstallEngine, FailureAtAnyFileRollsTheFolderBackAndASecondAttemptSucceeds) {
    for (const bool overEarlier : {false, true}) {
        for (const int k : {0, 1, 40, kFileCount - 1}) {
            SCOPED_TRACE((overEarlier ? "over an earlier installation, file " : "fresh, file ") + std::to_string(k));
            driver::RemoveTree(program_);
            if (overEarlier) {
                ASSERT_EQ(InstallFresh(), "");
                // The user's own versions of some files, one of them read-only and one hidden copy.
                for (int changed : {0, 2, 39, 41, 60, kFileCount - 2})
                    driver::WriteFileText(program_ + "\\" + FileName(changed), "previous " + std::to_string(changed));
                SetFileAttributesA((program_ + "\\" + FileName(2)).c_str(), FILE_ATTRIBUTE_READONLY);
                DeleteFileA((program_ + "\\" + FileName(60)).c_str());  // not there before: deleted again
            }
            PlaceObstacle(program_, FileName(k));
            const Snapshot before = SnapshotOf(program_);
            ResetInstallState();
            g_choices.TempFolder = "";
            const std::string error = RunInstallation();
            EXPECT_EQ(lastStep_, k + 1);
            EXPECT_EQ(error.rfind("ERROR: (", 0), 0u) << error;
            EXPECT_NE(error.find(") Cannot install the following file:\n\n" + program_ + "\\" + FileName(k)),
                      std::string::npos)
                << error;
            EXPECT_EQ(Differences(before, SnapshotOf(program_)), "");
            EXPECT_FALSE(FileExists(TempFolder()));

            RemoveDirectoryA((program_ + "\\" + FileName(k)).c_str());
            ASSERT_EQ(InstallFresh(), "");
            ExpectPayloadInstalled();
        }
    }
}

// An earlier installation whose every file differs from the package, one of them read-only and one hidden,
// with a folder and a file of the user's own.
void LayEarlierInstallation(const std::string& program, const std::vector<std::string>& names) {
    CreateFolderChain((program + "\\My Takes\\").c_str());
    driver::WriteFileText(program + "\\My Takes\\take 1.wav", "the user's recording");
    driver::WriteFileText(program + "\\notes.txt", "the user's notes");
    for (size_t k = 0; k < names.size(); ++k) {
        const std::string path = program + "\\" + names[k];
        CreateFolderChain(path.c_str());
        driver::WriteFileText(path, "earlier version of " + names[k]);
    }
    for (const char* hidden : {"__cdca.lx", "__cdcb.lx"})
        SetFileAttributesA((program + "\\" + hidden).c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((program + "\\" + names[2]).c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((program + "\\" + names[3]).c_str(), FILE_ATTRIBUTE_HIDDEN);
}

// How file k's step is made to fail.
enum class Fault {
    FolderInTheWay,  // a folder stands where file k goes: its write fails (there is nothing to back up)
    WriteRefused,    // file k is open without write sharing: copied aside, then its write fails
    BackupRefused,   // file k is open without read sharing: it cannot be copied aside, but could be written
};

// Holds file k open the way the fault needs while it lives.
win::FileHandle InjectFault(Fault fault, const std::string& path) {
    switch (fault) {
    case Fault::FolderInTheWay:
        return win::FileHandle();  // laid before the snapshot
    case Fault::WriteRefused:
        return win::FileHandle(
            CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    case Fault::BackupRefused:
        return win::FileHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
    }
    return win::FileHandle();
}

struct SweepWay {
    const char* name;
    bool overEarlier;
    Fault fault;
    const char* message;  // how the failing step's message begins after its code
};
const SweepWay kSweepWays[] = {
    {"into an empty folder", false, Fault::FolderInTheWay, ") Cannot install the following file:"},
    {"over an earlier installation", true, Fault::WriteRefused, ") Cannot install the following file:"},
    {"over an earlier installation, backup failing", true, Fault::BackupRefused,
     ") Cannot back up the following file:"},
};

TEST_F(InstallEngine, FailureAtEveryFileStepPutsTheFolderBackExactly) {
    std::vector<std::string> names;
    for (int k = 0; k < kFileCount; ++k) names.push_back(FileName(k));
    for (const SweepWay& way : kSweepWays) {
        driver::RemoveTree(program_);
        if (way.overEarlier) LayEarlierInstallation(program_, names);
        for (int k = 0; k < kFileCount; ++k) {
            SCOPED_TRACE(std::string(way.name) + ", file " + std::to_string(k) + " " + names[k]);
            // Each obstacle starts from an empty folder (the folders an earlier one needed are gone).
            if (!way.overEarlier) driver::RemoveTree(program_);
            const std::string target = program_ + "\\" + names[k];
            // Read before a fault holds the file (a held file cannot be read); an obstacle belongs to it.
            if (way.fault == Fault::FolderInTheWay) CreateFolderChain((target + "\\").c_str());
            const Snapshot before = SnapshotOf(program_);
            win::FileHandle held = InjectFault(way.fault, target);
            ASSERT_TRUE(way.fault == Fault::FolderInTheWay || held.Valid());
            if (way.fault == Fault::BackupRefused) {
                // The fault is in the backup alone: the file could still be replaced.
                win::FileHandle writer(CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                   OPEN_EXISTING, 0, nullptr));
                ASSERT_TRUE(writer.Valid());
            }
            ResetInstallState();
            g_choices.TempFolder = "";
            // The file is held only while its step runs, as a scanner or a backup program would.
            const std::string error = RunInstallation(-1, [&held] { held.Reset(); });
            EXPECT_EQ(lastStep_, k + 1);
            EXPECT_NE(error.find(way.message + std::string("\n\n") + target), std::string::npos) << error;
            EXPECT_EQ(lastUnrestored_, "");
            EXPECT_EQ(Differences(before, SnapshotOf(program_)), "");
            EXPECT_FALSE(FileExists(TempFolder())) << Differences({}, SnapshotOf(TempFolder())) << [&] {
                std::string why;
                for (const auto& [name, item] : SnapshotOf(TempFolder())) {
                    const std::string path = TempFolder() + "\\" + name;
                    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    why += " delete " + std::to_string(DeleteFileA(path.c_str())) + " error " + std::to_string(GetLastError());
                }
                return why;
            }();
            EXPECT_FALSE(FileExists(RecoveryJournalPath().c_str()));
            if (HasFailure()) return;
        }
    }
}

TEST_F(InstallEngine, RunDeadAtEveryFileStepIsPutBackByTheNextStart) {
    std::vector<std::string> names;
    for (int k = 0; k < kFileCount; ++k) names.push_back(FileName(k));
    for (const bool overEarlier : {false, true}) {
        driver::RemoveTree(program_);
        if (overEarlier) LayEarlierInstallation(program_, names);
        const Snapshot before = SnapshotOf(program_);
        for (int k = 0; k < kFileCount; ++k) {
            SCOPED_TRACE((overEarlier ? "over an earlier installation, file " : "into an empty folder, file ") +
                         std::to_string(k) + " " + names[k]);
            ResetInstallState();
            g_choices.TempFolder = "";
            ASSERT_EQ(RunInstallation(k + 2), "<paused>");
            const std::string temp = TempFolder();
            // The process dies within file k's write: its handles close, nothing is rolled back, and the
            // file is left cut short.
            CloseInstallJournal();
            ResetInstallState();
            const std::string cut = driver::ReadFileText(program_ + "\\" + names[k]);
            driver::WriteFileText(program_ + "\\" + names[k], cut.substr(0, cut.size() / 2));

            SetupString report;
            ASSERT_TRUE(RecoverInterruptedInstallation(report));
            EXPECT_EQ(std::string(report.c_str()),
                      "The last run of Setup was interrupted during the installation.\nThe program folder has been "
                      "put back as it was before:\n\n" +
                          program_);
            EXPECT_EQ(Differences(before, SnapshotOf(program_)), "");
            EXPECT_FALSE(FileExists(temp));
            EXPECT_FALSE(FileExists(RecoveryJournalPath().c_str()));
            EXPECT_FALSE(RecoverInterruptedInstallation(report)) << "nothing is left for a second start";
            if (HasFailure()) return;
        }
    }
}

TEST_F(InstallEngine, RecoveryWithTheTempOptionKeepsWhatElseTheFolderHolds) {
    ASSERT_EQ(InstallFresh(), "");
    for (int k = 0; k < kFileCount; ++k) driver::WriteFileText(program_ + "\\" + FileName(k), "earlier " + FileName(k));
    const Snapshot before = SnapshotOf(program_);
    const std::string temp = scratch_ + "\\Work\\Tmp";
    CreateFolderChain((temp + "\\").c_str());
    driver::WriteFileText(temp + "\\mine.txt", "mine");
    g_choices.TempFolder = temp.c_str();
    ResetInstallState();
    ASSERT_EQ(RunInstallation(52), "<paused>");
    CloseInstallJournal();
    ResetInstallState();
    SetupString report;
    ASSERT_TRUE(RecoverInterruptedInstallation(report));
    EXPECT_NE(std::string(report.c_str()).find("put back as it was before"), std::string::npos) << report.c_str();
    EXPECT_EQ(Differences(before, SnapshotOf(program_)), "");
    const Snapshot left = SnapshotOf(temp);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left.begin()->first, "mine.txt");
}

TEST_F(InstallEngine, RecoveryLeavesAHeldJournalAloneAndOnlyCleansUpAfterFinalFiles) {
    const std::string temp = scratch_ + "\\Backups";
    CreateFolderChain((temp + "\\").c_str());
    CreateFolderChain((program_ + "\\").c_str());
    const std::string target = program_ + "\\kvr.exe";
    driver::WriteFileText(target, "the file as the run left it");
    const std::string backup = temp + "\\000100020003.081";
    const auto write = [&](const std::string& entries) {
        driver::WriteFileText(RecoveryJournalPath().c_str(),
                              std::string(JournalHeader(temp.c_str(), program_.c_str()).c_str()) + entries);
        driver::WriteFileText(backup, "a backup");
    };
    SetupString report;

    // A setup that still runs holds its journal: nothing is touched.
    write(std::string("new\t") + target + "\n");
    {
        win::FileHandle held(CreateFileA(RecoveryJournalPath().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.Valid());
        EXPECT_FALSE(RecoverInterruptedInstallation(report));
        EXPECT_TRUE(FileExists(target));
        EXPECT_TRUE(FileExists(RecoveryJournalPath().c_str()));
    }

    // Files final: the backups go, the installed file stays, and nobody is told.
    write(std::string("copy\t") + backup + "\nold\t0\t" + backup + "\t" + target + "\n" + kJournalFinalLine);
    ASSERT_TRUE(RecoverInterruptedInstallation(report));
    EXPECT_STREQ(report.c_str(), "");
    EXPECT_EQ(driver::ReadFileText(target), "the file as the run left it");
    EXPECT_FALSE(FileExists(temp));

    // Died while copying a previous file aside: the partial copy goes, the file it came from stays.
    CreateFolderChain((temp + "\\").c_str());
    write(std::string("copy\t") + backup + "\n");
    ASSERT_TRUE(RecoverInterruptedInstallation(report));
    EXPECT_EQ(driver::ReadFileText(target), "the file as the run left it");
    EXPECT_FALSE(FileExists(backup));

    // A journal that reaches outside its folders is dropped without acting on it.
    const std::string outside = scratch_ + "\\letter.txt";
    driver::WriteFileText(outside, "a user's letter");
    CreateFolderChain((temp + "\\").c_str());
    write(std::string("new\t") + outside + "\n");
    ASSERT_TRUE(RecoverInterruptedInstallation(report));
    EXPECT_TRUE(FileExists(outside));
    EXPECT_FALSE(FileExists(RecoveryJournalPath().c_str()));
}

TEST_F(InstallEngine, DataFolderThatCannotBeCreatedRollsEverythingBack) {
    driver::WriteFileText(scratch_ + "\\blocker", "a file where a folder should be");
    data_ = scratch_ + "\\blocker\\Data";
    g_choices.DataFolder = data_.c_str();
    const std::string error = InstallFresh();
    EXPECT_EQ(error, "ERROR: Cannot create the recording & data files folder:\n\n" + data_);
    EXPECT_EQ(lastStep_, 103);
    EXPECT_EQ(InstallCancellable, 0);
    EXPECT_FALSE(FileExists(program_));  // every file deleted, then the emptied folders
    EXPECT_TRUE(FileExists(scratch_ + "\\Programs")) << "only the folders the installation emptied go";
    EXPECT_FALSE(FileExists(TempFolder()));
    bool found = true;
    driver::GetSetting("ver", &found);
    EXPECT_FALSE(found) << "the settings step never ran";
}

TEST_F(InstallEngine, BackupFolderOfAnEarlierNameIsNeverUsedAgain) {
    ASSERT_EQ(InstallFresh(), "");
    // A reinstallation fails and rolls back: its generated folder is gone, its name stays for the next attempt.
    PlaceObstacle(program_, FileName(50));
    ResetInstallState();
    EXPECT_NE(RunInstallation(), "");
    const std::string earlier = TempFolder();
    ASSERT_FALSE(FileExists(earlier));
    // Before the next attempt someone puts a folder of that name in place.
    CreateFolderChain((earlier + "\\").c_str());
    driver::WriteFileText(earlier + "\\planted.txt", "not the setup's");
    RemoveDirectoryA((program_ + "\\" + FileName(50)).c_str());

    ResetInstallState();
    ASSERT_EQ(RunInstallation(kFileCount + 1), "<paused>");
    const std::string used = TempFolder();
    EXPECT_NE(used, earlier);
    EXPECT_EQ(used.substr(0, used.rfind('\\')), earlier.substr(0, earlier.rfind('\\'))) << used;
    EXPECT_EQ(SnapshotOf(earlier).size(), 1u) << "no backup went into the planted folder";
    EXPECT_FALSE(SnapshotOf(used).empty()) << "the previous files were backed up in the new folder";
    EXPECT_EQ(RunInstallation(), "");
    ExpectPayloadInstalled();
    EXPECT_FALSE(FileExists(used));
    EXPECT_EQ(driver::ReadFileText(earlier + "\\planted.txt"), "not the setup's");
    driver::RemoveTree(earlier);
}

TEST_F(InstallEngine, BackupThatCannotBeCopiedBackIsKeptNamedAndNeverReused) {
    ASSERT_EQ(InstallFresh(), "");
    const std::string userFile = program_ + "\\" + FileName(5);
    driver::WriteFileText(userFile, "the user's only copy");
    PlaceObstacle(program_, FileName(50));
    const std::string kept = scratch_ + "\\backups";
    g_choices.TempFolder = kept.c_str();
    ResetInstallState();
    ASSERT_EQ(RunInstallation(7), "<paused>");
    // The installed file 5 is replaced by a folder: copying the previous file back must fail.
    DeleteFileA(userFile.c_str());
    CreateDirectoryA(userFile.c_str(), nullptr);
    EXPECT_NE(RunInstallation(), "");
    EXPECT_EQ(lastStep_, 51);
    EXPECT_EQ(lastUnrestored_, "ERROR: Cannot restore the following files:\n\n" + userFile +
                                   "\n\nTheir previous copies are kept in this folder:\n\n" + kept);
    const Snapshot left = SnapshotOf(kept);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left.begin()->second.bytes, "the user's only copy");
    EXPECT_NE(left.begin()->first.find(".081"), std::string::npos);
    EXPECT_FALSE(FileExists(RecoveryJournalPath().c_str())) << "a later start must not act on what the user was told";

    // The next attempt keeps its backups in a new folder inside the given one, and leaves the kept copy alone.
    const std::string next = TempFolder();
    EXPECT_EQ(next.rfind(kept + "\\instrb", 0), 0u) << next;
    RemoveDirectoryA(userFile.c_str());
    RemoveDirectoryA((program_ + "\\" + FileName(50)).c_str());
    driver::WriteFileText(userFile, "the new attempt's previous file");
    ResetInstallState();
    ASSERT_EQ(RunInstallation(kFileCount + 1), "<paused>");
    EXPECT_EQ(SnapshotOf(kept).count(left.begin()->first), 1u);
    EXPECT_EQ(RunInstallation(), "");
    EXPECT_FALSE(FileExists(next));
    const Snapshot after = SnapshotOf(kept);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_TRUE(after.begin()->second == left.begin()->second);

    // With a generated folder, the next one is a new generated folder beside it.
    g_choices.TempFolder = "";
    ResetInstallState();
    ASSERT_EQ(RunInstallation(1), "<paused>");
    const std::string generated = TempFolder();
    StartFreshBackupFolder();
    EXPECT_NE(TempFolder(), generated);
    EXPECT_STREQ(ParentFolderOf(TempFolder().c_str()).c_str(), ParentFolderOf(generated.c_str()).c_str());
    AbandonInstallation(nullptr);
    RemoveDirectoryA(generated.c_str());
}

TEST_F(InstallEngine, TempOptionFolderHoldsTheBackupsAndGoesOnlyWhenEmpty) {
    ASSERT_EQ(InstallFresh(), "");
    const std::string temp = scratch_ + "\\Work\\Tmp";
    g_choices.TempFolder = temp.c_str();
    ResetInstallState();
    ASSERT_EQ(RunInstallation(kFileCount + 1), "<paused>");
    int backups = 0;
    for (const auto& [name, item] : SnapshotOf(temp)) {
        EXPECT_EQ(name.size(), 16u) << name;
        EXPECT_EQ(name.substr(12), ".081") << name;
        backups += 1;
    }
    EXPECT_EQ(backups, kFileCount);
    ASSERT_EQ(RunInstallation(), "");
    EXPECT_FALSE(FileExists(temp));
    EXPECT_TRUE(FileExists(scratch_ + "\\Work"));

    // A folder that holds something else stays, with only that in it.
    CreateDirectoryA(temp.c_str(), nullptr);
    driver::WriteFileText(temp + "\\mine.txt", "mine");
    ResetInstallState();
    ASSERT_EQ(RunInstallation(), "");
    const Snapshot left = SnapshotOf(temp);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left.begin()->first, "mine.txt");
}

TEST_F(InstallEngine, SettingsOfAFirstInstallationAndOfAReinstallation) {
    const std::string referrer = "partner\xFFspring\xFF" "a\xFF" "b";
    ASSERT_TRUE(driver::SetText(product::kInstallerKey, "Referrer", referrer));
    ASSERT_EQ(InstallFresh(), "");

    const struct {
        const char* name;
        std::string value;
    } texts[] = {
        {"SetupPlbkRcFldr", data_},
        {"SetupSchdRcFldr", data_},
        {"SetupLogFldr", program_},
        {"LRplbk", ""},
        {"LRschd", ""},
        {"ver", "1.2.3"},
        {"InstallFolder", program_},
        {"rf1", ScrambleReferrerText("partner")},
        {"rf2", ScrambleReferrerText("spring")},
        {"rf3", ScrambleReferrerText("a\xFF" "b")},
    };
    for (const auto& text : texts) {
        EXPECT_EQ(Setting(text.name).text, text.value) << text.name;
        EXPECT_EQ(Setting(text.name).type, static_cast<DWORD>(REG_SZ)) << text.name;
    }
    const RecordingFormat format = {Setting("SetupWISmpRt").number, Setting("SetupWISmpSz").number,
                                    Setting("SetupWIChnls").number};
    // This machine has a time-stamp counter: the format comes from a real measurement.
    const uint32_t mhz = MeasureCpuSpeed();
    EXPECT_GT(mhz, 0u);
    EXPECT_EQ(format.sampleRate, ChooseRecordingFormat(mhz).sampleRate);
    for (const NumericSetting& row : NumericSettings(format)) {
        EXPECT_EQ(Setting(row.name).number, row.value) << row.name;
        EXPECT_EQ(Setting(row.name).type, static_cast<DWORD>(REG_DWORD)) << row.name;
    }
    // The referrer is used once; the installer key stays, empty.
    const driver::RegistryValue referrerLeft = driver::ReadValue(product::kInstallerKey, "Referrer");
    EXPECT_EQ(referrerLeft.text, "");
    EXPECT_EQ(referrerLeft.type, static_cast<DWORD>(REG_NONE));
    EXPECT_TRUE(driver::KeyExists(product::kInstallerKey));

    // Over existing settings: the user's two values stay, the rest is written again.
    for (const char* name : {"nshbt0", "WOVol", "SetupSTAS"})
        ASSERT_TRUE(driver::SetNumber(product::kSettingsKey, name, 7));
    g_facts.PreviousInstallFound = 1;
    SetupString error("");
    int32_t glitch = 0;
    InstallCancellable = 1;
    EXPECT_EQ(InstallSettingsStep({nullptr, error, glitch, InstallCancellable}), 1);
    EXPECT_EQ(InstallCancellable, 0);
    EXPECT_STREQ(error.c_str(), "");
    EXPECT_EQ(glitch, 0);
    EXPECT_EQ(Setting("nshbt0").number, 7u);
    EXPECT_EQ(Setting("WOVol").number, 7u);
    EXPECT_EQ(Setting("SetupSTAS").number, 0u);
    for (const char* field : {"rf1", "rf2", "rf3"}) EXPECT_EQ(Setting(field).text, "") << field;
}

TEST_F(InstallEngine, SpeedMeasuredOnItsOwnThreadWhileTheFilesAreWrittenChoosesTheFormat) {
    uint32_t mhz = 0;
    {
        CpuSpeedInAdvance inAdvance;
        ASSERT_EQ(InstallFresh(), "");
        mhz = inAdvance.Mhz();
    }
    // The kind of number a measurement on this thread gives, not cycles or nothing (with room for a busy
    // machine, which stretches either wait).
    const uint32_t here = MeasureCpuSpeed();
    EXPECT_GT(mhz, here / 2);
    EXPECT_LT(mhz, here * 2);
    const RecordingFormat format = ChooseRecordingFormat(mhz);
    EXPECT_EQ(Setting("SetupWISmpRt").number, format.sampleRate);
    EXPECT_EQ(Setting("SetupWISmpSz").number, format.bitsPerSample);
    EXPECT_EQ(Setting("SetupWIChnls").number, format.channels);
}

TEST_F(InstallEngine, UninstallEntryHoldsSixValuesWithTheQuotedUninstaller) {
    program_ = scratch_ + "\\Program Files Of Ann\\Korvane";
    g_choices.InstallFolder = program_.c_str();
    ASSERT_EQ(InstallFresh(), "");
    const struct {
        const char* name;
        std::string value;
    } expected[] = {
        {"DisplayName", "Korvane"},
        {"UninstallString", "\"" + program_ + "\\uninst_kvr.exe\""},
        {"Contact", product::kSupportEmail},
        {"Publisher", product::kVendorHost},
        {"DisplayVersion", "1.2.3"},
        {"HelpLink", std::string(product::kVendorBase) + "/kvr"},
    };
    for (const auto& value : expected) {
        const driver::RegistryValue entry = driver::ReadValue(product::kUninstallKey, value.name);
        EXPECT_EQ(entry.text, value.value) << value.name;
        EXPECT_EQ(entry.type, static_cast<DWORD>(REG_SZ)) << value.name;
    }
    EXPECT_TRUE(FileExists(program_ + "\\uninst_kvr.exe"));
}

TEST_F(InstallEngine, AppsEntryShowsIconLocationSizeDateAndTheSilentUninstaller) {
    ASSERT_EQ(InstallFresh(), "");
    EXPECT_EQ(driver::AppsEntryMismatches(program_), "");
}

TEST_F(InstallEngine, ShortcutsPointAtTheirTargetsAndTheStartMenuRecordCycles) {
    const std::string startMenu = menus_ + "\\Korvane\\";
    const std::string desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\";
    const std::string quickLaunch = SpecialFolder(CSIDL_APPDATA) + "\\Microsoft\\Internet Explorer\\Quick Launch\\";
    desktopLinks_ = {desktop + "Korvane.lnk", desktop + "Korvane & Scheduler.lnk", quickLaunch + "Korvane.lnk",
                     quickLaunch + "Korvane & Scheduler.lnk"};
    // Links of the earlier product name, in a Start Menu folder recorded by an earlier installation.
    const std::string oldMenu = menus_ + "\\Old Menu\\";
    CreateFolderChain(oldMenu.c_str());
    driver::SetSetting("instOSMP", oldMenu.c_str());
    for (const std::string& old : {oldMenu + "Korvane & Scheduler.lnk", oldMenu + "Uninstall.lnk",
                                   desktop + "Korvane & Scheduler.lnk"})
        driver::WriteFileText(old, "old link");
    CreateFolderChain(quickLaunch.c_str());
    driver::WriteFileText(quickLaunch + "Korvane & Scheduler.lnk", "old link");

    g_choices.StartMenuPath = startMenu.c_str();
    g_choices.CreateStartMenuFolder = 1;
    g_choices.DesktopIcon = 1;
    g_choices.QuickLaunchIcon = 1;
    ASSERT_EQ(InstallFresh(), "");

    const std::string folder = program_ + "\\";
    const struct {
        std::string link;
        std::string target;
    } links[] = {
        {startMenu + "Korvane.lnk", folder + "kvr.exe"},
        {startMenu + "Manual.lnk", folder + "Manual\\index.htm"},
        {startMenu + "Quick Hardware Setup.lnk", folder + "Quick Setup\\index.htm"},
        {startMenu + "Uninstall.lnk", folder + "uninst_kvr.exe"},
        {desktop + "Korvane.lnk", folder + "kvr.exe"},
        {quickLaunch + "Korvane.lnk", folder + "kvr.exe"},
    };
    for (const auto& link : links) EXPECT_EQ(LinkTarget(link.link), link.target) << link.link;
    EXPECT_FALSE(FileExists(oldMenu));
    for (const std::string& old : {desktop + "Korvane & Scheduler.lnk", quickLaunch + "Korvane & Scheduler.lnk"})
        EXPECT_FALSE(FileExists(old)) << old;
    EXPECT_EQ(driver::GetSetting("instOSMP"), startMenu);
    EXPECT_TRUE(FileExists(data_));

    // Nothing wanted any more: every link goes, and so does the recorded folder with its record.
    g_choices.CreateStartMenuFolder = 0;
    g_choices.DesktopIcon = 0;
    g_choices.QuickLaunchIcon = 0;
    SetupString error("");
    int32_t glitch = 0;
    ASSERT_EQ(InstallShortcutsStep({nullptr, error, glitch, InstallCancellable}), 1);
    EXPECT_FALSE(FileExists(startMenu));
    for (const auto& link : links) EXPECT_FALSE(FileExists(link.link)) << link.link;
    bool found = false;
    EXPECT_EQ(driver::GetSetting("instOSMP", &found), "");
    EXPECT_TRUE(found);

    // A recorded folder that holds other files stays, and so does its record.
    g_choices.CreateStartMenuFolder = 1;
    ASSERT_EQ(InstallShortcutsStep({nullptr, error, glitch, InstallCancellable}), 1);
    driver::WriteFileText(startMenu + "notes.txt", "mine");
    g_choices.CreateStartMenuFolder = 0;
    ASSERT_EQ(InstallShortcutsStep({nullptr, error, glitch, InstallCancellable}), 1);
    EXPECT_TRUE(FileExists(startMenu + "notes.txt"));
    EXPECT_FALSE(FileExists(startMenu + "Korvane.lnk"));
    EXPECT_EQ(driver::GetSetting("instOSMP"), startMenu);
}

// A Start Menu folder outside the Programs folder, or in Startup, is neither given the links nor, when
// recorded by an earlier installation, cleaned of links with their names: those are the user's.
TEST_F(InstallEngine, StartMenuLinksAreMadeAndRemovedOnlyBelowTheStartMenuOutsideProgramsAndStartup) {
    const std::string startMenu = SpecialFolder(CSIDL_STARTMENU);
    const std::string programs = SpecialFolder(CSIDL_PROGRAMS);
    const std::string startup = SpecialFolder(CSIDL_STARTUP);
    const std::string outsideMenu = SpecialFolder(CSIDL_APPDATA) + "\\kvr-engine-outside";
    const std::string folders[] = {
        startup + "\\",
        startup + "\\Korvane\\",
        programs + "\\",
        startMenu + "\\",
        startMenu + "\\..\\kvr-engine-outside\\",
        outsideMenu + "\\Korvane\\",
        scratch_ + "\\Start Menu\\Programs\\Korvane\\",
    };
    const char* const links[] = {"Korvane.lnk", "Manual.lnk", "Quick Hardware Setup.lnk", "Uninstall.lnk"};
    for (const std::string& folder : folders) {
        SCOPED_TRACE(folder);
        CreateFolderChain(folder.c_str());
        const std::string mine = folder + "Uninstall.lnk";
        ASSERT_TRUE(driver::WriteFileText(mine, "the user's own link"));
        driver::SetSetting("instOSMP", folder.c_str());
        g_choices.StartMenuPath = folder.c_str();
        g_choices.CreateStartMenuFolder = 1;
        SetupString error("");
        int32_t glitch = 0;
        ASSERT_EQ(InstallShortcutsStep({nullptr, error, glitch, InstallCancellable}), 1) << error.c_str();
        EXPECT_TRUE(driver::ReadFileText(mine) == "the user's own link") << "the user's link was replaced";
        for (const char* link : links) EXPECT_EQ(FileExists(folder + link), link == links[3]) << link;
        EXPECT_EQ(driver::GetSetting("instOSMP"), folder) << "the record stays as it was";
        for (const char* link : links) DeleteFileA((folder + link).c_str());
    }
    RemoveEmptyFolder((startup + "\\Korvane").c_str());
    RemoveDirectoryA((startMenu + "\\..\\kvr-engine-outside").c_str());
    driver::RemoveTree(outsideMenu);
}

TEST_F(InstallEngine, AFailedFormattingAllocationEndsTheStepAsLowOnMemory) {
    ASSERT_EQ(RunInstallation(1), "<paused>");
    SetupString error("");
    int32_t glitch = 0;
    int result = -1;
    {
        // The first file step formats its target's path into a block of the path's length plus one.
        testsupport::FailingMalloc failing(program_.size() + 1 + FileName(0).size() + 1);
        result = RunDueInstallStep(nullptr, error, glitch);
        EXPECT_GE(failing.Failures(), 1);
    }
    EXPECT_EQ(result, 0);
    EXPECT_STREQ(error.c_str(), "Low on memory");
    EXPECT_EQ(g_install.stepIndex, 1);
    AbandonInstallation(nullptr);
}

TEST_F(InstallEngine, BrokenArchiveFailsStepZeroWithAGlitchReport) {
    g_setup.instance = GetModuleHandleA(nullptr);  // this test program carries no package
    SetupString error("");
    int32_t glitch = 0;
    EXPECT_EQ(RunDueInstallStep(nullptr, error, glitch), 0);
    EXPECT_STREQ(error.c_str(),
                 "FATAL ERROR: Installation package is broken...\n(Please report it to our technical support.)");
    EXPECT_EQ(glitch, 1);
    EXPECT_EQ(g_install.stepTotal, 0);
    EXPECT_EQ(g_install.stepIndex, 0);
    g_setup.instance = setup_;
}

}  // namespace
