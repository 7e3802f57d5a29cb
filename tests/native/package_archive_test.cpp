#include "engine/portable/package_archive.h"
#include "engine/portable/package_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Builds archives byte by byte, independently of the writer, so that the
// reader's tests do not share the writer's mistakes.
class Raw {
public:
    explicit Raw(uint8_t key = 0) { bytes_.push_back(key); }
    Raw& Word(uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
        return *this;
    }
    Raw& Name(const std::string& name) {
        bytes_.insert(bytes_.end(), name.begin(), name.end());
        bytes_.push_back(0);
        return *this;
    }
    Raw& Entry(uint32_t offset, uint32_t size, const std::string& name) { return Word(offset).Word(size).Name(name); }
    Raw& Magic() { return Word(kPackageMagic); }
    Raw& Fill(size_t n, uint8_t value) {
        bytes_.insert(bytes_.end(), n, value);
        return *this;
    }
    size_t Size() const { return bytes_.size(); }
    Bytes Get() const { return bytes_; }

private:
    Bytes bytes_;
};

// Opens bytes and, on success, keeps the pair in an owner for the checks.
struct Opened {
    bool ok = false;
    PackageArchive archive;
};

Opened Open(const Bytes& bytes) {
    Opened result;
    result.ok = result.archive.Open(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return result;
}

bool Opens(const Bytes& bytes) { return Open(bytes).ok; }

// One entry "a.txt" of 4 bytes; D = 9 + 8 + 6 + 4 = 27, size 31.
Bytes OneEntryArchive() { return Raw().Word(1).Word(27).Entry(0, 4, "a.txt").Magic().Fill(4, 0xAB).Get(); }

TEST(PackageArchiveReader, OneEntryGivesItsIndex) {
    const Bytes bytes = OneEntryArchive();
    ASSERT_EQ(bytes.size(), 31u);
    Opened o = Open(bytes);
    ASSERT_TRUE(o.ok);
    ASSERT_EQ(o.archive.Count(), 1u);
    const PackageEntry& e = o.archive.Entry(0);
    EXPECT_STREQ(e.name, "a.txt");
    EXPECT_EQ(e.name, reinterpret_cast<const char*>(o.archive.Copy()) + 16);  // resource offset 17
    EXPECT_EQ(e.dataOffset, 26u);  // stored 0 + D - 1
    EXPECT_EQ(e.size, 4u);
    EXPECT_EQ(o.archive.CopySize(), 30u);
    EXPECT_EQ(o.archive.Data(e)[0], 0xAB);
}

TEST(PackageArchiveReader, FewerThanNineBytesAreRejected) {
    const Bytes bytes = OneEntryArchive();
    for (uint32_t size = 0; size < 9; ++size) EXPECT_FALSE(Opens(Bytes(bytes.begin(), bytes.begin() + size))) << size;
}

TEST(PackageArchiveReader, MissingArgumentsAreRejected) {
    const Bytes bytes = OneEntryArchive();
    PackageIndex* index = nullptr;
    uint8_t* copy = nullptr;
    EXPECT_FALSE(OpenPackageArchive(nullptr, 31, &index, &copy));
    EXPECT_FALSE(OpenPackageArchive(bytes.data(), 31, nullptr, &copy));
    EXPECT_FALSE(OpenPackageArchive(bytes.data(), 31, &index, nullptr));
    EXPECT_EQ(index, nullptr);
    EXPECT_EQ(copy, nullptr);
}

TEST(PackageArchiveReader, OutputsAreUntouchedOnFailure) {
    Bytes bytes = OneEntryArchive();
    bytes[23] ^= 1;  // magic's first byte
    PackageIndex* const indexSentinel = reinterpret_cast<PackageIndex*>(0x1234);
    uint8_t* const copySentinel = reinterpret_cast<uint8_t*>(0x5678);
    PackageIndex* index = indexSentinel;
    uint8_t* copy = copySentinel;
    EXPECT_FALSE(OpenPackageArchive(bytes.data(), static_cast<uint32_t>(bytes.size()), &index, &copy));
    EXPECT_EQ(index, indexSentinel);
    EXPECT_EQ(copy, copySentinel);
}

TEST(PackageArchiveReader, CallerFreesThePair) {
    const Bytes bytes = OneEntryArchive();
    PackageIndex* index = nullptr;
    uint8_t* copy = nullptr;
    ASSERT_TRUE(OpenPackageArchive(bytes.data(), static_cast<uint32_t>(bytes.size()), &index, &copy));
    EXPECT_EQ(index->count, 1u);
    EXPECT_EQ(std::memcmp(copy, bytes.data() + 1, bytes.size() - 1), 0);
    ReleasePackageArchive(index, copy);
    EXPECT_EQ(index, nullptr);
    EXPECT_EQ(copy, nullptr);
    ReleasePackageArchive(index, copy);  // a second release is harmless
}

TEST(PackageArchiveReader, EmptyTableIsValidFromDataStartThirteen) {
    EXPECT_TRUE(Opens(Raw().Word(0).Word(13).Magic().Get()));
    Opened o = Open(Raw().Word(0).Word(13).Magic().Get());
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.archive.Count(), 0u);
    // Bytes between the magic and D are ignored, and data may follow D.
    EXPECT_TRUE(Opens(Raw().Word(0).Word(20).Magic().Fill(7, 0xEE).Get()));
    EXPECT_TRUE(Opens(Raw().Word(0).Word(13).Magic().Fill(100, 0).Get()));
    for (uint32_t d = 9; d < 13; ++d) EXPECT_FALSE(Opens(Raw().Word(0).Word(d).Magic().Fill(8, 0).Get())) << d;
}

TEST(PackageArchiveReader, DataStartBelowNineOrPastTheEndIsRejected) {
    for (uint32_t d = 0; d < 9; ++d) {
        EXPECT_FALSE(Opens(Raw().Word(0).Word(d).Magic().Fill(32, 0).Get())) << d;
        EXPECT_FALSE(Opens(Raw().Word(1).Word(d).Entry(0, 1, "x").Magic().Fill(32, 0).Get())) << d;
    }
    // D exactly at the end is allowed for an empty table; one past is not.
    EXPECT_TRUE(Opens(Raw().Word(0).Word(13).Magic().Get()));
    EXPECT_FALSE(Opens(Raw().Word(0).Word(14).Magic().Get()));
    EXPECT_FALSE(Opens(Raw().Word(0).Word(kPackageMaxDataStart).Magic().Get()));
    EXPECT_FALSE(Opens(Raw().Word(0).Word(0xFFFFFFFFu).Magic().Get()));
    // The header area may reach the limit, not beyond it.
    const Bytes big = Raw().Word(0).Word(kPackageMaxDataStart).Magic().Fill(kPackageMaxDataStart, 0).Get();
    EXPECT_TRUE(Opens(big));
    Bytes beyond = Raw().Word(0).Word(kPackageMaxDataStart + 1).Magic().Fill(kPackageMaxDataStart, 0).Get();
    EXPECT_FALSE(Opens(beyond));
}

TEST(PackageArchiveReader, TooManyEntriesAreRejected) {
    const uint32_t n = kPackageMaxEntries + 1;
    Raw raw;
    raw.Word(n).Word(0);  // D patched below
    for (uint32_t i = 0; i < n; ++i) raw.Entry(0, 0, "e");
    raw.Magic();
    Bytes bytes = raw.Get();
    bytes.push_back(1);
    // D = size - 1 keeps a one-byte data area, so only the count is wrong.
    const uint32_t d = static_cast<uint32_t>(bytes.size() - 1);
    ASSERT_LE(d, kPackageMaxDataStart);
    std::memcpy(&bytes[5], &d, 4);
    EXPECT_FALSE(Opens(bytes));
    // The same table one entry shorter opens.
    Raw ok;
    ok.Word(kPackageMaxEntries).Word(0);
    for (uint32_t i = 0; i < kPackageMaxEntries; ++i) ok.Entry(0, 0, "e");
    ok.Magic();
    Bytes okBytes = ok.Get();
    okBytes.push_back(1);
    const uint32_t okD = static_cast<uint32_t>(okBytes.size() - 1);
    std::memcpy(&okBytes[5], &okD, 4);
    Opened o = Open(okBytes);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.archive.Count(), kPackageMaxEntries);
}

TEST(PackageArchiveReader, ZeroSizeEntryAtTheEndOfTheDataIsRejected) {
    // D = 9 + 8 + 2 + 4 = 23. With nothing after D, the entry starts past the copy.
    EXPECT_FALSE(Opens(Raw().Word(1).Word(23).Entry(0, 0, "e").Magic().Get()));
    // With one data byte it points at that byte and opens, still empty.
    Opened o = Open(Raw().Word(1).Word(23).Entry(0, 0, "e").Magic().Fill(1, 7).Get());
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.archive.Entry(0).size, 0u);
    EXPECT_EQ(o.archive.Entry(0).dataOffset, 22u);
    // Data offset 1 is again the end.
    EXPECT_FALSE(Opens(Raw().Word(1).Word(23).Entry(1, 0, "e").Magic().Fill(1, 7).Get()));
}

TEST(PackageArchiveReader, NameMustEndBeforeDataStart) {
    // "name" with its NUL takes 5 bytes at resource offsets 17..21.
    EXPECT_TRUE(Opens(Raw().Word(1).Word(26).Entry(0, 1, "name").Magic().Fill(1, 0).Get()));
    // NUL at D - 1: the magic no longer fits before D.
    EXPECT_FALSE(Opens(Raw().Word(1).Word(22).Entry(0, 1, "name").Magic().Fill(1, 0).Get()));
    // NUL exactly at D and past it.
    EXPECT_FALSE(Opens(Raw().Word(1).Word(21).Entry(0, 1, "name").Magic().Fill(1, 0).Get()));
    EXPECT_FALSE(Opens(Raw().Word(1).Word(19).Entry(0, 1, "name").Magic().Fill(1, 0).Get()));
    // The header area ends inside an entry's offset or size field.
    for (uint32_t d = 13; d < 22; ++d) {
        EXPECT_FALSE(Opens(Raw().Word(1).Word(d).Entry(0, 1, "name").Magic().Fill(1, 0).Get())) << d;
    }
}

TEST(PackageArchiveReader, NameWithoutNulInTheWholeResourceIsRejected) {
    // The header area runs to the end of the resource and holds no NUL at all.
    Bytes bytes = Raw().Word(1).Word(0).Word(0).Word(1).Fill(20, 'x').Get();
    const uint32_t d = static_cast<uint32_t>(bytes.size());
    std::memcpy(&bytes[5], &d, 4);
    EXPECT_FALSE(Opens(bytes));
}

TEST(PackageArchiveReader, MagicDifferingInAnyByteIsRejected) {
    const Bytes good = OneEntryArchive();
    ASSERT_TRUE(Opens(good));
    for (int i = 0; i < 4; ++i) {
        for (uint8_t flip : {0x01, 0x80, 0xFF}) {
            Bytes bad = good;
            bad[23 + i] ^= flip;
            EXPECT_FALSE(Opens(bad)) << "byte " << i << " xor " << int(flip);
        }
    }
    Bytes reversed = good;
    std::swap(reversed[23], reversed[26]);
    std::swap(reversed[24], reversed[25]);
    EXPECT_FALSE(Opens(reversed));
}

TEST(PackageArchiveReader, NegativeSizeIsRejected) {
    for (uint32_t size : {0x80000000u, 0xFFFFFFFFu, 0xC0000000u}) {
        EXPECT_FALSE(Opens(Raw().Word(1).Word(23).Entry(0, size, "e").Magic().Fill(64, 0).Get())) << size;
    }
}

TEST(PackageArchiveReader, EntryMustLieInsideTheResource) {
    // Data area of 10 bytes after D = 23.
    auto archive = [](uint32_t offset, uint32_t size) {
        return Raw().Word(1).Word(23).Entry(offset, size, "e").Magic().Fill(10, 0).Get();
    };
    EXPECT_TRUE(Opens(archive(0, 10)));
    EXPECT_TRUE(Opens(archive(9, 1)));
    EXPECT_TRUE(Opens(archive(9, 0)));
    EXPECT_FALSE(Opens(archive(0, 11)));
    EXPECT_FALSE(Opens(archive(9, 2)));
    EXPECT_FALSE(Opens(archive(10, 0)));
    EXPECT_FALSE(Opens(archive(5, 0x7FFFFFFFu)));
    EXPECT_FALSE(Opens(archive(0xFFFFFFF0u, 0x7FFFFFFFu)));
}

TEST(PackageArchiveReader, DataOffsetWrapsInThirtyTwoBits) {
    // Stored offset 0xFFFFFFFF + D - 1 wraps to D - 2: the last byte of the magic.
    Opened o = Open(Raw().Word(1).Word(23).Entry(0xFFFFFFFFu, 2, "e").Magic().Fill(1, 0x5A).Get());
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.archive.Entry(0).dataOffset, 21u);
    EXPECT_EQ(o.archive.Data(o.archive.Entry(0))[0], 0x91);
    EXPECT_EQ(o.archive.Data(o.archive.Entry(0))[1], 0x5A);
}

TEST(PackageArchiveReader, EveryTruncationIsRejected) {
    std::vector<PackageFile> files = {{"a", Bytes(40, 1)}, {"b\\c", Bytes(3, 2)}, {"d", Bytes(9, 3)}};
    Bytes bytes;
    std::string error;
    ASSERT_TRUE(WritePackageArchive(files, 0, &bytes, &error)) << error;
    ASSERT_TRUE(Opens(bytes));
    for (size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_FALSE(Opens(Bytes(bytes.begin(), bytes.begin() + size))) << size;
    }
}

// Scrambles a plain archive as the format says: byte i of the copy is resource
// byte i + 1 XOR (key + i) mod 256.
Bytes ScrambleByHand(Bytes plain, uint8_t key) {
    plain[0] = key;
    for (size_t i = 0; i + 1 < plain.size(); ++i) plain[i + 1] ^= static_cast<uint8_t>((key + i) % 256);
    return plain;
}

TEST(PackageArchiveReader, ScrambledArchiveDecodesWithWrappingKey) {
    Bytes data(600);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
    Raw raw;
    raw.Word(1).Word(23).Entry(0, static_cast<uint32_t>(data.size()), "e").Magic();
    Bytes plain = raw.Get();
    plain.insert(plain.end(), data.begin(), data.end());

    const Bytes scrambled = ScrambleByHand(plain, 5);
    EXPECT_EQ(scrambled[1], plain[1] ^ 5);
    EXPECT_EQ(scrambled[255], plain[255] ^ 3);  // 5 + 254 = 259 -> 3
    EXPECT_EQ(scrambled[256], plain[256] ^ 4);  // 5 + 255 = 260 -> 4
    EXPECT_EQ(scrambled[512], plain[512] ^ 4);

    const Bytes before = scrambled;
    Opened o = Open(scrambled);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(scrambled, before);  // the resource is never written to
    ASSERT_EQ(o.archive.CopySize(), plain.size() - 1);
    EXPECT_EQ(std::memcmp(o.archive.Copy(), plain.data() + 1, plain.size() - 1), 0);
    EXPECT_EQ(o.archive.Copy()[255], plain[256]);
    EXPECT_EQ(Bytes(o.archive.Data(o.archive.Entry(0)), o.archive.Data(o.archive.Entry(0)) + 600), data);

    // The plain archive read with a key set (not scrambled) is garbage.
    Bytes wrongKey = plain;
    wrongKey[0] = 5;
    EXPECT_FALSE(Opens(wrongKey));
}

TEST(PackageArchiveReader, EveryKeyRoundTripsByHand) {
    const Bytes plain = OneEntryArchive();
    for (int key = 1; key < 256; ++key) {
        Opened o = Open(ScrambleByHand(plain, static_cast<uint8_t>(key)));
        ASSERT_TRUE(o.ok) << key;
        EXPECT_STREQ(o.archive.Entry(0).name, "a.txt");
    }
}

TEST(PackageArchiveOwner, OpenResetMoveAndDetach) {
    const Bytes one = OneEntryArchive();
    const Bytes empty = Raw().Word(0).Word(13).Magic().Get();
    PackageArchive a;
    EXPECT_FALSE(a.IsOpen());
    EXPECT_EQ(a.Count(), 0u);
    ASSERT_TRUE(a.Open(one.data(), static_cast<uint32_t>(one.size())));
    // A failed Open leaves the owner as it was.
    EXPECT_FALSE(a.Open(one.data(), 8));
    ASSERT_TRUE(a.IsOpen());
    EXPECT_STREQ(a.Entry(0).name, "a.txt");
    // A successful one replaces the pair.
    ASSERT_TRUE(a.Open(empty.data(), static_cast<uint32_t>(empty.size())));
    EXPECT_EQ(a.Count(), 0u);
    ASSERT_TRUE(a.Open(one.data(), static_cast<uint32_t>(one.size())));

    PackageArchive b(std::move(a));
    EXPECT_FALSE(a.IsOpen());  // NOLINT(bugprone-use-after-move): moved-from state is specified
    EXPECT_EQ(b.Count(), 1u);
    PackageArchive c;
    c = std::move(b);
    EXPECT_EQ(c.Count(), 1u);
    EXPECT_EQ(c.CopySize(), 30u);

    PackageIndex* index = nullptr;
    uint8_t* copy = nullptr;
    c.Detach(&index, &copy);
    EXPECT_FALSE(c.IsOpen());
    ASSERT_NE(index, nullptr);
    EXPECT_STREQ(index->Entries()[0].name, "a.txt");
    FreePackageArchive(index, copy);
    c.Reset();
}

// --- The writer, and the round trip through the reader ---

std::vector<PackageFile> GeneratedFiles(size_t count, size_t maxSize, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<PackageFile> files;
    for (size_t i = 0; i < count; ++i) {
        PackageFile file;
        const int depth = static_cast<int>(i % 3);
        for (int level = 0; level < depth; ++level) file.name += "dir" + std::to_string(level) + "\\";
        file.name += "file" + std::to_string(i) + ".bin";
        file.data.resize(maxSize == 0 ? 0 : random() % (maxSize + 1));
        for (uint8_t& b : file.data) b = static_cast<uint8_t>(random());
        files.push_back(std::move(file));
    }
    if (!files.empty()) files.back().data.push_back(0x42);  // the last entry cannot be empty
    return files;
}

uint32_t Le32At(const Bytes& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 | static_cast<uint32_t>(b[at + 2]) << 16 |
           static_cast<uint32_t>(b[at + 3]) << 24;
}

TEST(PackageArchiveWriter, RoundTripsThroughTheReader) {
    struct Case {
        size_t count;
        size_t maxSize;
        uint8_t key;
    } cases[] = {
        {0, 0, 0},    {0, 0, 5},      {1, 0, 0},      {1, 1, 255},     {2, 3, 1},
        {17, 700, 5}, {17, 700, 200}, {300, 40, 0},   {300, 40, 128},  {3, 300000, 77},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("count " + std::to_string(c.count) + " key " + std::to_string(c.key));
        const std::vector<PackageFile> files = GeneratedFiles(c.count, c.maxSize, static_cast<uint32_t>(c.count * 31 + c.key));
        Bytes archive;
        std::string error;
        ASSERT_TRUE(WritePackageArchive(files, c.key, &archive, &error)) << error;
        ASSERT_EQ(archive[0], c.key);

        Opened o = Open(archive);
        ASSERT_TRUE(o.ok);
        ASSERT_EQ(o.archive.Count(), files.size());
        const Bytes copy(o.archive.Copy(), o.archive.Copy() + o.archive.CopySize());
        const uint32_t d = Le32At(copy, 4);
        // The magic ends exactly at D, and the data areas run back to back to the end.
        EXPECT_EQ(Le32At(copy, d - 5), kPackageMagic);
        uint32_t next = d - 1;
        for (size_t i = 0; i < files.size(); ++i) {
            const PackageEntry& e = o.archive.Entry(static_cast<uint32_t>(i));
            EXPECT_EQ(std::string(e.name), files[i].name);
            EXPECT_EQ(e.dataOffset, next);
            ASSERT_EQ(e.size, files[i].data.size());
            EXPECT_EQ(Bytes(o.archive.Data(e), o.archive.Data(e) + e.size), files[i].data);
            next += e.size;
        }
        EXPECT_EQ(next, o.archive.CopySize());
    }
}

TEST(PackageArchiveWriter, ScramblesAsTheFormatSays) {
    const std::vector<PackageFile> files = GeneratedFiles(4, 400, 9);
    Bytes plain, scrambled;
    std::string error;
    ASSERT_TRUE(WritePackageArchive(files, 0, &plain, &error)) << error;
    ASSERT_TRUE(WritePackageArchive(files, 5, &scrambled, &error)) << error;
    ASSERT_GT(plain.size(), 257u);
    EXPECT_EQ(scrambled, ScrambleByHand(plain, 5));
    EXPECT_EQ(scrambled[1], plain[1] ^ 5);
    EXPECT_EQ(scrambled[256], plain[256] ^ 4);
}

TEST(PackageArchiveWriter, LayoutOfTheEmptyArchive) {
    Bytes archive;
    std::string error;
    ASSERT_TRUE(WritePackageArchive({}, 0, &archive, &error)) << error;
    EXPECT_EQ(archive, Raw().Word(0).Word(13).Magic().Get());
}

TEST(PackageArchiveWriter, RefusesWhatTheFormatOrTheSetupCannotTake) {
    const std::string longest(kPackageMaxNameLength, 'n');
    struct Case {
        const char* what;
        std::vector<PackageItem> items;
        const char* message;  // expected part of the error; null when the layout is accepted
    } cases[] = {
        {"ok", {{"a", 1}, {"Manual\\index.htm", 2}}, nullptr},
        {"longest name", {{longest, 1}}, nullptr},
        {"name too long", {{longest + "x", 1}}, "more than the limit of 259"},
        {"empty name", {{"", 1}}, "empty entry name"},
        {"slash", {{"a/b", 1}}, "use \"\\\""},
        {"colon", {{"C:x", 1}}, "0x3A"},
        {"control character", {{"a\tb", 1}}, "0x09"},
        {"leading separator", {{"\\a", 1}}, "not a plain relative path"},
        {"trailing separator", {{"a\\", 1}}, "not a plain relative path"},
        {"double separator", {{"a\\\\b", 1}}, "not a plain relative path"},
        {"dot dot", {{"a\\..\\b", 1}}, "not a plain relative path"},
        {"trailing dot", {{"a.\\b", 1}}, "ending in a space or a dot"},
        {"duplicate", {{"Kvr.exe", 1}, {"kvr.EXE", 1}}, "appears twice"},
        {"empty last entry", {{"a", 1}, {"b", 0}}, "\"b\" is empty and no data follows it"},
        {"empty entries at the end", {{"a", 0}, {"b", 0}}, "\"a\" is empty and no data follows it"},
        {"empty entry before data", {{"a", 0}, {"b", 1}}, nullptr},
        {"entry of 2 GiB", {{"a", 0x80000000u}}, "below 2 GiB"},
        {"archive too large", {{"a", 0x40000000u}, {"b", 0x40000000u}}, "archive too large: with entry \"b\""},
    };
    for (const Case& c : cases) {
        PackageLayout layout;
        std::string error;
        const bool ok = PlanPackageLayout(c.items, &layout, &error);
        if (c.message == nullptr) {
            EXPECT_TRUE(ok) << c.what << ": " << error;
        } else {
            EXPECT_FALSE(ok) << c.what;
            EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
        }
    }
}

TEST(PackageArchiveWriter, RefusesTooManyEntriesAndTooLargeTables) {
    std::vector<PackageItem> items;
    for (uint32_t i = 0; i <= kPackageMaxEntries; ++i) items.push_back({"f" + std::to_string(i), 1});
    PackageLayout layout;
    std::string error;
    EXPECT_FALSE(PlanPackageLayout(items, &layout, &error));
    EXPECT_NE(error.find("too many entries: 65536"), std::string::npos) << error;
    items.pop_back();
    EXPECT_TRUE(PlanPackageLayout(items, &layout, &error)) << error;

    // 4,100 entries of 250-character names need a header area past 0xFFFFF.
    items.clear();
    for (int i = 0; i < 4100; ++i) items.push_back({std::string(240, 'x') + std::to_string(1000000000 + i), 1});
    EXPECT_FALSE(PlanPackageLayout(items, &layout, &error));
    EXPECT_NE(error.find("past the format's limit of 1048575"), std::string::npos) << error;
}

TEST(PackageArchiveWriter, LayoutPutsTheMagicAtDataStart) {
    PackageLayout layout;
    std::string error;
    ASSERT_TRUE(PlanPackageLayout({{"ab", 3}, {"c", 0}, {"d", 5}}, &layout, &error)) << error;
    EXPECT_EQ(layout.dataStart, 9u + (8 + 3) + (8 + 2) + (8 + 2) + 4);
    EXPECT_EQ(layout.archiveSize, layout.dataStart + 8);
    EXPECT_EQ(layout.dataOffsets, (std::vector<uint32_t>{0, 3, 3}));
}

TEST(PackageArchiveWriter, FolderOrder) {
    struct Case {
        std::vector<std::string> names;
        const char* message;  // part of the error; null when the order is correct
    } cases[] = {
        {{}, nullptr},
        {{"a", "Manual\\index.htm", "Manual\\pics\\p.gif"}, nullptr},
        {{"Manual\\pics\\p.gif"}, "entry 1 \"Manual\\pics\\p.gif\" lies in \"Manual\\pics\", but no earlier entry lies "
                                   "directly in \"Manual\""},
        {{"Manual\\index.htm", "Manual\\pics\\p.gif", "Quick Setup\\pics\\q.gif"}, "entry 3 \"Quick Setup\\pics\\q.gif\""},
        {{"manual\\index.htm", "MANUAL\\pics\\p.gif"}, nullptr},
        {{"A\\x", "A\\B\\x", "A\\B\\C\\x"}, nullptr},
        {{"A\\x", "A\\B\\C\\x"}, "entry 2 \"A\\B\\C\\x\""},
        {{"A\\B\\x", "A\\x"}, "entry 1"},
    };
    for (const Case& c : cases) {
        std::string error;
        const bool ok = CheckFolderOrder(c.names, &error);
        if (c.message == nullptr) {
            EXPECT_TRUE(ok) << error;
        } else {
            EXPECT_FALSE(ok);
            EXPECT_NE(error.find(c.message), std::string::npos) << error;
        }
    }
}

TEST(PackageArchiveWriter, FailureLeavesTheOutputAlone) {
    Bytes archive = {1, 2, 3};
    std::string error;
    EXPECT_FALSE(WritePackageArchive({{"a", {}}}, 0, &archive, &error));
    EXPECT_EQ(archive, (Bytes{1, 2, 3}));
    EXPECT_FALSE(error.empty());
}

}  // namespace
