#include "engine/portable/journal_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kTemp[] = "C:\\Temp\\instrb1A2B.3C\\";
const char kFolder[] = "C:\\Programs\\Korvane";

std::string Journal(const std::string& entries) {
    return std::string(JournalHeader(kTemp, kFolder).c_str()) + entries;
}

std::string Saved(const char* backup, const char* target, uint32_t attributes = 0) {
    return std::string(JournalCopyLine(backup).c_str()) + JournalSavedLine(attributes, backup, target).c_str();
}

TEST(JournalText, ReadsBackWhatARunWrote) {
    const std::string text =
        Journal(JournalCreatedLine("C:\\Programs\\Korvane\\__cdcb.lx").c_str() +
                Saved("C:\\Temp\\instrb1A2B.3C\\00010002003.081", "C:\\Programs\\Korvane\\Manual\\index.htm", 3) +
                JournalCopyLine("C:\\Temp\\instrb1A2B.3C\\0004000500060.081").c_str());
    JournalReading reading;
    ASSERT_TRUE(ReadJournal(text.c_str(), reading));
    EXPECT_STREQ(reading.tempFolder.c_str(), kTemp);
    EXPECT_STREQ(reading.installFolder.c_str(), kFolder);
    EXPECT_FALSE(reading.final);
    ASSERT_EQ(reading.count, 3);
    EXPECT_EQ(reading.records[0].state, kBackupCreated);
    EXPECT_STREQ(reading.records[0].targetPath.c_str(), "C:\\Programs\\Korvane\\__cdcb.lx");
    EXPECT_STREQ(reading.records[0].backupPath.c_str(), "");
    // The saved line completes its copy line: one record, restored from the backup with its attributes.
    EXPECT_EQ(reading.records[1].state, kBackupSaved);
    EXPECT_EQ(reading.records[1].previousAttributes, 3u);
    EXPECT_STREQ(reading.records[1].backupPath.c_str(), "C:\\Temp\\instrb1A2B.3C\\00010002003.081");
    EXPECT_STREQ(reading.records[1].targetPath.c_str(), "C:\\Programs\\Korvane\\Manual\\index.htm");
    // A copy that never completed: its backup is deleted, its target was not touched and is not restored.
    EXPECT_EQ(reading.records[2].state, kBackupUnsaved);
    EXPECT_STREQ(reading.records[2].targetPath.c_str(), "");
    EXPECT_STREQ(reading.records[2].backupPath.c_str(), "C:\\Temp\\instrb1A2B.3C\\0004000500060.081");
}

TEST(JournalText, FinalAndRollbackLinesDecideWhetherFilesAreRestored) {
    const std::string created = JournalCreatedLine("C:\\Programs\\Korvane\\kvr.exe").c_str();
    const struct {
        std::string tail;
        bool final;
    } cases[] = {
        {"", false},
        {kJournalFinalLine, true},
        {std::string(kJournalFinalLine) + kJournalRollbackLine, false},
        {std::string(kJournalFinalLine) + kJournalRollbackLine + kJournalFinalLine, true},
    };
    for (const auto& c : cases) {
        JournalReading reading;
        ASSERT_TRUE(ReadJournal(Journal(created + c.tail).c_str(), reading)) << c.tail;
        EXPECT_EQ(reading.final, c.final) << c.tail;
        EXPECT_EQ(reading.count, 1) << c.tail;
    }
}

TEST(JournalText, ALineCutOffByTheCrashIsIgnored) {
    const std::string whole = Journal(JournalCreatedLine("C:\\Programs\\Korvane\\kvr.exe").c_str());
    for (const std::string& cut : {whole + "new\tC:\\Programs\\Kor", whole + "fin", whole + "old\t0\t"}) {
        JournalReading reading;
        ASSERT_TRUE(ReadJournal(cut.c_str(), reading)) << cut;
        EXPECT_EQ(reading.count, 1) << cut;
        EXPECT_FALSE(reading.final) << cut;
    }
    // A header cut short leaves nothing to act on.
    const std::string header = JournalHeader(kTemp, kFolder).c_str();
    JournalReading reading;
    EXPECT_FALSE(ReadJournal(header.substr(0, header.size() - 3).c_str(), reading));
}

TEST(JournalText, RefusesAJournalThatReachesOutsideItsFolders) {
    const char* backup = "C:\\Temp\\instrb1A2B.3C\\000100020003.081";
    const std::string refused[] = {
        "",
        "not a journal\n",
        std::string(JournalHeader("", kFolder).c_str()),
        Journal("new\tC:\\Windows\\win.ini\n"),
        Journal("new\tC:\\Programs\\Korvane\n"),
        Journal("new\tC:\\Programs\\Korvane\\\n"),
        Journal("new\tC:\\Programs\\KorvaneX\\kvr.exe\n"),
        Journal("new\tC:\\Programs\\Korvane\\..\\Other\\kvr.exe\n"),
        Journal("new\tC:\\Programs\\Korvane\\Manual\\.\\index.htm\n"),
        Journal("new\tC:\\Programs\\Korvane\\\\kvr.exe\n"),
        Journal("new\tC:\\Programs\\Korvane\\kvr.exe:stream\n"),
        Journal("copy\tC:\\Users\\Ann\\Documents\\letter.081\n"),
        Journal("copy\tC:\\Temp\\instrb1A2B.3C\\letter.doc\n"),
        Journal("copy\tC:\\Temp\\instrb1A2B.3C\\sub\\000100020003.081\n"),
        Journal("copy\tC:\\Temp\\instrb1A2B.3C\\.081\n"),
        Journal(std::string("old\tx\t") + backup + "\tC:\\Programs\\Korvane\\kvr.exe\n"),
        Journal(std::string("old\t0\t") + backup + "\tD:\\kvr.exe\n"),
        Journal(std::string("old\t0\t") + backup + "\n"),
        Journal("new\tC:\\Programs\\Korvane\\kvr.exe\textra\n"),
        Journal("delete\tC:\\Programs\\Korvane\\kvr.exe\n"),
    };
    for (const std::string& text : refused) {
        JournalReading reading;
        EXPECT_FALSE(ReadJournal(text.c_str(), reading)) << text;
    }
    // Case does not matter to Windows, nor does a trailing separator on the folders.
    JournalReading reading;
    EXPECT_TRUE(ReadJournal((std::string(JournalHeader("c:\\temp\\INSTRB1A2B.3C", "c:\\programs\\korvane\\").c_str()) +
                             "new\tC:\\Programs\\Korvane\\kvr.exe\n" + "copy\tC:\\Temp\\instrb1A2B.3C\\A.081\n")
                                .c_str(),
                            reading));
}

TEST(JournalText, UnrestoredFilesAreNamedWithTheFolderOfTheirCopies) {
    FileBackupRecord records[14];
    EXPECT_STREQ(DescribeUnrestoredFiles(records, 14, kTemp).c_str(), "");
    records[1].targetPath = "C:\\Programs\\Korvane\\kvr.exe";
    records[1].restoreFailed = true;
    records[2].targetPath = "C:\\Programs\\Korvane\\restored.txt";
    EXPECT_STREQ(DescribeUnrestoredFiles(records, 14, kTemp).c_str(),
                 "ERROR: Cannot restore the following files:\n\nC:\\Programs\\Korvane\\kvr.exe\n\nTheir previous "
                 "copies are kept in this folder:\n\nC:\\Temp\\instrb1A2B.3C");
    // A long list stops after ten names.
    for (FileBackupRecord& record : records) {
        record.targetPath = "C:\\Programs\\Korvane\\f";
        record.restoreFailed = true;
    }
    const std::string many = DescribeUnrestoredFiles(records, 14, kTemp).c_str();
    EXPECT_NE(many.find("(and 4 more)\n"), std::string::npos) << many;
}

}  // namespace
