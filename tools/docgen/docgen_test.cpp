// Runs the built kvr_docgen and checks what a reader of the installed documents
// would notice: broken links, missing or unreadable pictures, files the package
// list forgets, and output that changes between builds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "png_writer.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string UrlDecode(const std::string& url) {
    std::string out;
    for (size_t i = 0; i < url.size(); ++i) {
        if (url[i] == '%' && i + 2 < url.size()) {
            out += static_cast<char>(std::stoi(url.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += url[i];
        }
    }
    return out;
}

uint32_t BigEndian32(const std::string& bytes, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 8 | static_cast<uint8_t>(bytes[at + 3]);
}

// Signature, chunk CRCs, and IHDR first and IEND last.
::testing::AssertionResult IsWellFormedPng(const std::string& bytes) {
    if (bytes.compare(0, 8, std::string("\x89PNG\r\n\x1a\n", 8)) != 0)
        return ::testing::AssertionFailure() << "no PNG signature";
    std::vector<std::string> chunks;
    for (size_t at = 8; at < bytes.size();) {
        if (at + 12 > bytes.size()) return ::testing::AssertionFailure() << "truncated chunk at " << at;
        const uint32_t length = BigEndian32(bytes, at);
        if (at + 12 + length > bytes.size()) return ::testing::AssertionFailure() << "chunk runs past the end";
        const auto* start = reinterpret_cast<const uint8_t*>(bytes.data() + at + 4);
        if (PngCrc32(start, length + 4) != BigEndian32(bytes, at + 8 + length))
            return ::testing::AssertionFailure() << "bad CRC in " << bytes.substr(at + 4, 4);
        chunks.push_back(bytes.substr(at + 4, 4));
        at += 12 + length;
    }
    if (chunks.empty() || chunks.front() != "IHDR" || chunks.back() != "IEND")
        return ::testing::AssertionFailure() << "chunks out of order";
    return ::testing::AssertionSuccess();
}

// The values of the page's href and src attributes, without any "#fragment".
std::vector<std::string> References(const std::string& html) {
    std::vector<std::string> found;
    for (const std::string attribute : {"href=\"", "src=\""}) {
        for (size_t at = html.find(attribute); at != std::string::npos; at = html.find(attribute, at + 1)) {
            const size_t start = at + attribute.size();
            const std::string value = html.substr(start, html.find('"', start) - start);
            found.push_back(value.substr(0, value.find('#')));
        }
    }
    return found;
}

class DocgenOutput : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = new fs::path(fs::temp_directory_path() / ("kvr_docgen_test_" + std::to_string(::getpid())));
        fs::remove_all(*root_);
        ASSERT_EQ(Run(*root_ / "a"), 0);
        ASSERT_EQ(Run(*root_ / "b"), 0);
    }
    static void TearDownTestSuite() {
        fs::remove_all(*root_);
        delete root_;
    }
    static int Run(const fs::path& out) {
        return std::system((std::string("\"") + KVR_DOCGEN_EXE + "\" \"" + out.string() + "\"").c_str());
    }
    // (stored name, relative path) in list order.
    static std::vector<std::pair<std::string, std::string>> List() {
        std::vector<std::pair<std::string, std::string>> entries;
        std::istringstream lines(ReadAll(*root_ / "a" / "docs.list"));
        for (std::string line; std::getline(lines, line);) {
            const auto tab = line.find('\t');
            entries.emplace_back(line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1));
        }
        return entries;
    }
    static fs::path* root_;
};

fs::path* DocgenOutput::root_ = nullptr;

TEST_F(DocgenOutput, ListsEveryFileInPackageOrder) {
    const auto entries = List();
    std::map<std::string, int> per_folder;
    std::set<std::string> listed;
    for (const auto& [stored, relative] : entries) {
        ASSERT_TRUE(fs::is_regular_file(*root_ / "a" / relative)) << relative;
        std::string expected = relative;
        for (char& c : expected) c = c == '/' ? '\\' : c;
        EXPECT_EQ(stored, expected);
        per_folder[stored.substr(0, stored.rfind('\\'))]++;
        listed.insert(relative);
    }
    EXPECT_EQ(per_folder["Manual"], 12);  // 11 pages and the style sheet
    EXPECT_EQ(per_folder["Manual\\pics"], 22);
    EXPECT_EQ(per_folder["Quick Setup"], 31);
    EXPECT_EQ(per_folder["Quick Setup\\pics"], 31);
    for (const char* first : {"Manual\\index.htm", "Quick Setup\\index.htm"}) {
        const std::string folder = std::string(first).substr(0, std::string(first).find('\\'));
        for (const auto& entry : entries) {
            if (entry.first.rfind(folder + "\\", 0) == 0) {
                EXPECT_EQ(entry.first, first) << "the first page of " << folder;
                break;
            }
        }
    }
    // Nothing is written that the package would leave out.
    for (const auto& file : fs::recursive_directory_iterator(*root_ / "a")) {
        if (!file.is_regular_file() || file.path().filename() == "docs.list") continue;
        EXPECT_TRUE(listed.count(fs::relative(file.path(), *root_ / "a").generic_string())) << file.path();
    }
}

TEST_F(DocgenOutput, LinksResolveAndEveryPictureIsShown) {
    std::set<fs::path> pictures_shown;
    for (const auto& [stored, relative] : List()) {
        if (fs::path(relative).extension() != ".htm") continue;
        const fs::path page = *root_ / "a" / relative;
        const std::string html = ReadAll(page);
        EXPECT_NE(html.find("<title>"), std::string::npos) << relative;
        for (const std::string& reference : References(html)) {
            const std::string target = UrlDecode(reference);
            ASSERT_FALSE(target.empty()) << relative;
            ASSERT_EQ(target.find(':'), std::string::npos) << "links stay inside the documents: " << target;
            const fs::path resolved = fs::weakly_canonical(page.parent_path() / target);
            EXPECT_TRUE(fs::is_regular_file(resolved)) << relative << " -> " << target;
            if (resolved.extension() == ".png") pictures_shown.insert(resolved);
        }
    }
    for (const auto& [stored, relative] : List()) {
        if (fs::path(relative).extension() != ".png") continue;
        const fs::path picture = fs::weakly_canonical(*root_ / "a" / relative);
        EXPECT_TRUE(pictures_shown.count(picture)) << "no page shows " << relative;
        EXPECT_TRUE(IsWellFormedPng(ReadAll(picture))) << relative;
    }
}

TEST_F(DocgenOutput, SameBytesOnEveryRun) {
    for (const auto& file : fs::recursive_directory_iterator(*root_ / "a")) {
        if (!file.is_regular_file()) continue;
        const fs::path twin = *root_ / "b" / fs::relative(file.path(), *root_ / "a");
        EXPECT_EQ(ReadAll(file.path()), ReadAll(twin)) << file.path();
    }
}

TEST(PngCrc32, MatchesTheStandardCheckValue) {
    const std::string text = "123456789";
    EXPECT_EQ(PngCrc32(reinterpret_cast<const uint8_t*>(text.data()), text.size()), 0xCBF43926u);
}

}  // namespace
