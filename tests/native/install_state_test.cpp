#include "engine/portable/install_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

TEST(InstallSteps, FollowTheFixedOrderForAnArchiveOf101Entries) {
    const int32_t n = 101;
    EXPECT_EQ(InstallStepTotal(n), 106);
    struct Case {
        int32_t step;
        InstallStepKind kind;
        int32_t fileIndex;
    };
    const Case cases[] = {
        {0, InstallStepKind::Prepare, 0},     {1, InstallStepKind::File, 0},
        {2, InstallStepKind::File, 1},        {102, InstallStepKind::File, 101},
        {103, InstallStepKind::Shortcuts, 0}, {104, InstallStepKind::Settings, 0},
        {105, InstallStepKind::Finish, 0},    {106, InstallStepKind::Invalid, 0},
        {-1, InstallStepKind::Invalid, 0},
    };
    for (const Case& c : cases) {
        const InstallStepChoice choice = ChooseInstallStep(c.step, n);
        EXPECT_EQ(choice.kind, c.kind) << c.step;
        if (c.kind == InstallStepKind::File) {
            EXPECT_EQ(choice.fileIndex, c.fileIndex) << c.step;
        }
    }
}

TEST(InstallSteps, ProgressNeverReachesTheEnd) {
    EXPECT_EQ(InstallProgressPosition(0, 106), 0);
    EXPECT_EQ(InstallProgressPosition(1, 106), 2);
    EXPECT_EQ(InstallProgressPosition(105, 106), 253);
    EXPECT_EQ(InstallProgressPosition(3, 0), 0);  // before step 0 has set the total
}

TEST(InstallFiles, EntryZeroIsWrittenTwiceUnderBothHiddenNames) {
    EXPECT_EQ(EntryIndexOfFile(0), 0u);
    EXPECT_EQ(EntryIndexOfFile(1), 0u);
    EXPECT_EQ(EntryIndexOfFile(2), 1u);
    EXPECT_STREQ(InstalledFileName(0, "__cdca.lx"), "__cdcb.lx");
    EXPECT_STREQ(InstalledFileName(1, "__cdca.lx"), "__cdca.lx");
    EXPECT_STREQ(InstalledFileName(5, "Manual\\index.htm"), "Manual\\index.htm");
}

TEST(InstallFiles, HiddenCopiesAreRecognisedByTheirLastComponentOnly) {
    for (const char* path : {"C:\\P\\__cdca.lx", "C:\\P\\__CDCB.LX", "C:/P/__cdcb.lx", "__cdca.lx"})
        EXPECT_TRUE(IsHiddenCopyPath(path)) << path;
    for (const char* path : {"C:\\__cdca.lx\\kvr.exe", "C:\\P\\__cdca.lxx", "C:\\P\\x__cdca.lx", ""})
        EXPECT_FALSE(IsHiddenCopyPath(path)) << path;
}

TEST(TempFolder, GeneratedNameUsesTheSecondDrawAndTheFirstDrawsLowByte) {
    SetupString folder("C:\\Temp\\");
    AppendGeneratedTempFolder(folder, 0x7ABC, 0x1A2B);
    EXPECT_STREQ(folder.c_str(), "C:\\Temp\\instrb1A2B.BC\\");
    SetupString highest("T\\");
    AppendGeneratedTempFolder(highest, 0, 0x7FFF);
    EXPECT_STREQ(highest.c_str(), "T\\instrb7FFF.00\\");
}

// A scripted source of draws and a set of names that already exist.
std::vector<int> g_draws;
size_t g_next = 0;
std::set<std::string> g_existing;
int ScriptedDraw() { return g_draws[g_next++ % g_draws.size()]; }
bool InExisting(const char* path) { return g_existing.count(path) != 0; }

class UniqueNames : public ::testing::Test {
protected:
    void SetUp() override {
        g_draws.clear();
        g_next = 0;
        g_existing.clear();
    }
};

TEST_F(UniqueNames, DrawsAreWrittenInReverseOrderWithoutADoubleSeparator) {
    g_draws = {0x1, 0x22, 0x7FFF};
    EXPECT_STREQ(MakeUniqueName("C:\\Tmp\\", "081", ScriptedDraw, InExisting).c_str(), "C:\\Tmp\\7FFF00220001.081");
    g_next = 0;
    EXPECT_STREQ(MakeUniqueName("C:\\Tmp", nullptr, ScriptedDraw, InExisting).c_str(), "C:\\Tmp\\7FFF00220001.dta");
}

TEST_F(UniqueNames, ACollisionDrawsAgain) {
    g_draws = {1, 2, 3, 4, 5, 6};
    g_existing = {"D\\000300020001.081"};
    EXPECT_STREQ(MakeUniqueName("D", "081", ScriptedDraw, InExisting).c_str(), "D\\000600050004.081");
    EXPECT_EQ(g_next, 6u);
}

TEST_F(UniqueNames, GivesUpAfterAThousandNames) {
    g_draws = {1, 2, 3};
    g_existing = {"D\\000300020001.081"};
    EXPECT_STREQ(MakeUniqueName("D", "081", ScriptedDraw, InExisting).c_str(), "D\\000300020001.081");
    EXPECT_EQ(g_next, 3000u);
}

TEST(Rollback, DeepestTargetsComeFirstAndEmptyOnesLast) {
    FileBackupRecord records[5];
    const char* paths[] = {"C:\\P\\kvr.exe", "", "C:\\P\\Manual\\img\\a.gif", "C:/P/Manual/index.htm", "C:\\P\\b"};
    for (int i = 0; i < 5; ++i) {
        records[i].targetPath = paths[i];
        records[i].state = i;
    }
    OrderDeepestFirst(records, 5);
    EXPECT_STREQ(records[0].targetPath.c_str(), "C:\\P\\Manual\\img\\a.gif");
    EXPECT_EQ(records[0].state, 2);  // the whole record moves, not just its path
    EXPECT_STREQ(records[1].targetPath.c_str(), "C:/P/Manual/index.htm");
    EXPECT_EQ(CountSeparators(records[2].targetPath.c_str()), 2);
    EXPECT_EQ(CountSeparators(records[3].targetPath.c_str()), 2);
    EXPECT_STREQ(records[4].targetPath.c_str(), "");
}

TEST(InstallStateLifetime, ResetFreesEverythingAndReturnsToTheStart) {
    g_install.stepIndex = 7;
    g_install.stopFlag = 1;
    g_install.stepTotal = 106;
    g_install.entryCount = 101;
    g_install.backups = new FileBackupRecord[3];
    g_install.backups[1].backupPath = "C:\\T\\1.081";
    g_install.backupCount = 3;
    ResetInstallState();
    EXPECT_EQ(g_install.stepIndex, 0);
    EXPECT_EQ(g_install.stopFlag, 0);
    EXPECT_EQ(g_install.stepTotal, 0);
    EXPECT_EQ(g_install.entryCount, 0);
    EXPECT_EQ(g_install.backups, nullptr);
    EXPECT_EQ(g_install.backupCount, 0);
    ResetInstallState();  // a second reset is harmless
}

}  // namespace
