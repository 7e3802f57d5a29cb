// Runs the built kvr_pack (KVR_PACK_EXE) on prepared inputs and checks its
// exit status, its messages and the files it leaves behind.
#include "engine/portable/package_archive.h"
#include "engine/portable/package_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

Bytes ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const fs::path& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const fs::path& path, const std::string& text) { WriteBytes(path, Bytes(text.begin(), text.end())); }

class KvrPackCli : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("kvr_pack_cli_" + std::to_string(getpid()) + "_" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path At(const std::string& relative) const { return dir_ / relative; }

    // Runs kvr_pack with the arguments (already quoted where needed).
    Outcome Pack(const std::string& arguments) const {
        const std::string command = Quote(KVR_PACK_EXE) + " " + arguments + " >" + Quote(At("stdout").string()) +
                                    " 2>" + Quote(At("stderr").string());
        const int raw = std::system(command.c_str());
        Outcome run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(At("stdout")), ReadText(At("stderr"))};
        return run;
    }

    // Input files named by their stored names below "in", and a list file for them.
    std::string MakeList(const std::vector<std::pair<std::string, Bytes>>& entries, const std::string& list = "list.txt") {
        std::string text;
        int i = 0;
        for (const auto& [name, data] : entries) {
            const std::string file = "in/" + std::to_string(i++) + ".bin";
            WriteBytes(At(file), data);
            text += name + "\t" + file + "\n";
        }
        WriteText(At(list), text);
        return Quote(At(list).string());
    }

    std::string Out() const { return Quote(At("out.pak").string()); }

    fs::path dir_;
};

TEST_F(KvrPackCli, PackListExtractRoundTrip) {
    const std::vector<std::pair<std::string, Bytes>> entries = {
        {"__cdca.lx", Bytes(300, 1)}, {"kvr.exe", Bytes(5, 2)}, {"Manual\\index.htm", Bytes(17, 3)},
        {"Manual\\pics\\a.gif", Bytes(0, 0)}, {"Manual\\pics\\b.gif", Bytes(2, 4)}};
    const std::string list = MakeList(entries);
    for (const char* key : {"", "--key 5 ", "--key 0xFF "}) {
        const Outcome packed = Pack(std::string("pack --check-folders ") + key + Out() + " " + list);
        ASSERT_EQ(packed.status, 0) << packed.err;
        EXPECT_EQ(packed.err, "");

        const Outcome listed = Pack("list " + Out());
        ASSERT_EQ(listed.status, 0) << listed.err;
        EXPECT_NE(listed.out.find("5 entries"), std::string::npos) << listed.out;
        // Offsets are file offsets: D = 9 + (8+10) + (8+8) + (8+17) + (8+18) + (8+18) + 4 = 124.
        EXPECT_NE(listed.out.find("       124        300  __cdca.lx\n"), std::string::npos) << listed.out;
        EXPECT_NE(listed.out.find("       424          5  kvr.exe\n"), std::string::npos) << listed.out;
        EXPECT_NE(listed.out.find("Manual\\pics\\b.gif"), std::string::npos) << listed.out;

        fs::remove_all(At("x"));
        const Outcome extracted = Pack("extract " + Out() + " " + Quote(At("x").string()));
        ASSERT_EQ(extracted.status, 0) << extracted.err;
        EXPECT_EQ(ReadBytes(At("x/__cdca.lx")), entries[0].second);
        EXPECT_EQ(ReadBytes(At("x/Manual/index.htm")), entries[2].second);
        EXPECT_TRUE(fs::is_regular_file(At("x/Manual/pics/a.gif")));
        EXPECT_EQ(fs::file_size(At("x/Manual/pics/a.gif")), 0u);
        EXPECT_EQ(ReadBytes(At("x/Manual/pics/b.gif")), entries[4].second);

        const Outcome checked = Pack("check " + Out());
        EXPECT_EQ(checked.status, 0) << checked.err;
    }
    EXPECT_EQ(ReadBytes(At("out.pak"))[0], 0xFF);
}

TEST_F(KvrPackCli, WritesExactlyWhatTheWriterWrites) {
    const std::vector<std::pair<std::string, Bytes>> entries = {{"a", Bytes{1, 2, 3}}, {"b\\c", Bytes{4}}};
    ASSERT_EQ(Pack("pack --key 9 " + Out() + " " + MakeList(entries)).status, 0);
    Bytes expected;
    std::string error;
    ASSERT_TRUE(WritePackageArchive({{"a", {1, 2, 3}}, {"b\\c", {4}}}, 9, &expected, &error));
    EXPECT_EQ(ReadBytes(At("out.pak")), expected);
}

TEST_F(KvrPackCli, RelativeInputsFollowTheListFile) {
    WriteBytes(At("sub/data.bin"), Bytes{7, 7});
    WriteText(At("sub/list.txt"), "name.bin\tdata.bin\r\n\r\n");
    const Outcome run = Pack("pack " + Out() + " " + Quote(At("sub/list.txt").string()));
    ASSERT_EQ(run.status, 0) << run.err;
    PackageArchive archive;
    const Bytes bytes = ReadBytes(At("out.pak"));
    ASSERT_TRUE(archive.Open(bytes.data(), static_cast<uint32_t>(bytes.size())));
    ASSERT_EQ(archive.Count(), 1u);
    EXPECT_STREQ(archive.Entry(0).name, "name.bin");
}

TEST_F(KvrPackCli, ErrorsLeaveNoArchive) {
    const std::string longName(260, 'n');
    struct Case {
        const char* what;
        std::string listText;  // list file contents; inputs "in/a" (3 bytes) and "in/empty" exist
        std::string options;
        const char* message;
    } cases[] = {
        {"missing input", "a\tin/nothing\n", "", "input"},
        {"no tab", "a in/a\n", "", "list.txt:1: expected STORED_NAME<TAB>INPUT_PATH"},
        {"no path", "ok\tin/a\nb\t\n", "", "list.txt:2: no input path"},
        {"name too long", longName + "\tin/a\n", "", "more than the limit of 259"},
        {"slash in name", "a/b\tin/a\n", "", "use \"\\\" between folder levels"},
        {"duplicate name", "a\tin/a\nA\tin/a\n", "", "appears twice"},
        {"empty last entry", "a\tin/a\nb\tin/empty\n", "", "\"b\" is empty"},
        {"folder order", "a\tin/a\nManual\\pics\\p.gif\tin/a\n", "--check-folders ",
         "entry 2 \"Manual\\pics\\p.gif\" lies in \"Manual\\pics\", but no earlier entry lies directly in \"Manual\""},
        {"key too large", "a\tin/a\n", "--key 256 ", "--key must be a number from 0 to 255"},
        {"key not a number", "a\tin/a\n", "--key x ", "--key must be a number"},
        {"unknown option", "a\tin/a\n", "--fast ", "unknown option --fast"},
    };
    WriteBytes(At("in/a"), Bytes{1, 2, 3});
    WriteBytes(At("in/empty"), Bytes{});
    for (const Case& c : cases) {
        WriteText(At("list.txt"), c.listText);
        const Outcome run = Pack("pack " + c.options + Out() + " " + Quote(At("list.txt").string()));
        EXPECT_NE(run.status, 0) << c.what;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ": " << run.err;
        EXPECT_FALSE(fs::exists(At("out.pak"))) << c.what;
        for (const auto& file : fs::directory_iterator(dir_)) {
            EXPECT_EQ(file.path().filename().string().find("out.pak"), std::string::npos) << c.what;
        }
    }
}

TEST_F(KvrPackCli, FolderOrderIsCheckedOnlyWhenAsked) {
    const std::string list = MakeList({{"Manual\\pics\\p.gif", Bytes{1}}});
    EXPECT_EQ(Pack("pack " + Out() + " " + list).status, 0);
    const Outcome checked = Pack("check " + Out());
    EXPECT_NE(checked.status, 0);
    EXPECT_NE(checked.err.find("no earlier entry lies directly in \"Manual\""), std::string::npos) << checked.err;
}

TEST_F(KvrPackCli, FailureKeepsThePreviousArchive) {
    ASSERT_EQ(Pack("pack " + Out() + " " + MakeList({{"a", Bytes{1}}})).status, 0);
    const Bytes before = ReadBytes(At("out.pak"));
    WriteText(At("bad.txt"), "a\tin/none\n");
    EXPECT_NE(Pack("pack " + Out() + " " + Quote(At("bad.txt").string())).status, 0);
    EXPECT_EQ(ReadBytes(At("out.pak")), before);
}

TEST_F(KvrPackCli, LimitsOfTheFormat) {
    WriteBytes(At("in/a"), Bytes{1});
    std::string many;
    for (int i = 0; i <= 65535; ++i) many += "f" + std::to_string(i) + "\tin/a\n";
    WriteText(At("many.txt"), many);
    Outcome run = Pack("pack " + Out() + " " + Quote(At("many.txt").string()));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("too many entries: 65536, the format allows at most 65535"), std::string::npos) << run.err;

    std::string wide;
    for (int i = 0; i < 4100; ++i) wide += std::string(240, 'w') + std::to_string(1000000000 + i) + "\tin/a\n";
    WriteText(At("wide.txt"), wide);
    run = Pack("pack " + Out() + " " + Quote(At("wide.txt").string()));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("past the format's limit of 1048575"), std::string::npos) << run.err;

    // Sparse inputs: their sizes are refused before anything is read.
    for (const char* name : {"in/huge1", "in/huge2"}) {
        std::ofstream(At(name)).close();
        fs::resize_file(At(name), 0x40000000u);
    }
    WriteText(At("large.txt"), "a\tin/huge1\nb\tin/huge2\n");
    run = Pack("pack " + Out() + " " + Quote(At("large.txt").string()));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("archive too large: with entry \"b\""), std::string::npos) << run.err;

    fs::resize_file(At("in/huge1"), 0x80000000u);
    WriteText(At("entry.txt"), "a\tin/huge1\n");
    run = Pack("pack " + Out() + " " + Quote(At("entry.txt").string()));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("below 2 GiB"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(At("out.pak")));
}

TEST_F(KvrPackCli, BrokenArchivesAreReported) {
    ASSERT_EQ(Pack("pack " + Out() + " " + MakeList({{"a", Bytes(10, 1)}})).status, 0);
    Bytes bytes = ReadBytes(At("out.pak"));
    bytes.pop_back();
    WriteBytes(At("cut.pak"), bytes);
    for (const std::string verb : {"list ", "check "}) {
        const Outcome run = Pack(verb + Quote(At("cut.pak").string()));
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("broken package archive, rejected by the reader"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("entry count 1, data start 23"), std::string::npos) << run.err;
    }
    Outcome run = Pack("extract " + Quote(At("cut.pak").string()) + " " + Quote(At("x").string()));
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(fs::exists(At("x/a")));
    run = Pack("list " + Quote(At("nothing.pak").string()));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot open"), std::string::npos) << run.err;
}

TEST_F(KvrPackCli, ExtractRefusesNamesLeavingTheFolder) {
    // The writer refuses such names, so this archive is made by hand: "..\evil", D = 9 + 8 + 8 + 4 = 29.
    Bytes bytes = {0, 1, 0, 0, 0, 29, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    for (char c : std::string("..\\evil")) bytes.push_back(static_cast<uint8_t>(c));
    bytes.insert(bytes.end(), {0, 0x0F, 0x3B, 0x81, 0x91, 'x'});
    WriteBytes(At("evil.pak"), bytes);
    ASSERT_EQ(Pack("list " + Quote(At("evil.pak").string())).status, 0);
    const Outcome run = Pack("extract " + Quote(At("evil.pak").string()) + " " + Quote(At("x").string()));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("is not a safe relative path"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(At("evil")));
}

TEST_F(KvrPackCli, UsageErrors) {
    for (const std::string args : {"", "frobnicate", "list", "extract a", "pack onlyone", "pack --key"}) {
        const Outcome run = Pack(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_NE(run.err.find("usage: kvr_pack pack"), std::string::npos) << args;
    }
    EXPECT_EQ(Pack("--help").status, 0);
}

}  // namespace
