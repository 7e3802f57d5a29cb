#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "driver.h"
#include "engine/package_archive.h"
#include "engine/resource_data.h"
#include "foundation/globals.h"
#include "resources/resource.h"

namespace {

// The archives are read from setup.exe itself, loaded as data in place of this program's module.
class EmbeddedArchives : public ::testing::Test {
protected:
    void SetUp() override {
        setup_ = LoadLibraryExA(driver::BuiltFile("KVR_SETUP_EXE").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(setup_, nullptr);
        g_setup.instance = setup_;
    }
    void TearDown() override {
        g_setup.instance = nullptr;
        if (setup_ != nullptr) FreeLibrary(setup_);
    }
    HMODULE setup_ = nullptr;
};

TEST_F(EmbeddedArchives, ApplicationPackageOpensWithItsEntries) {
    const ResourceData data = LoadResourceData(IDR_PACKAGE);
    ASSERT_NE(data.bytes, nullptr);
    PackageArchive archive;
    ASSERT_TRUE(archive.Open(data.bytes, data.size));
    ASSERT_EQ(archive.Count(), 101u);
    EXPECT_STREQ(archive.Entry(0).name, "__cdca.lx");
    EXPECT_STREQ(archive.Entry(1).name, "kvr.exe");
    EXPECT_STREQ(archive.Entry(3).name, "uninst_kvr.exe");
    // Executables start with the MZ signature.
    for (uint32_t i : {0u, 1u, 3u}) EXPECT_EQ(std::memcmp(archive.Data(archive.Entry(i)), "MZ", 2), 0) << i;
    bool manual = false;
    bool guide = false;
    for (uint32_t i = 0; i < archive.Count(); ++i) {
        manual |= std::strcmp(archive.Entry(i).name, "Manual\\index.htm") == 0;
        guide |= std::strcmp(archive.Entry(i).name, "Quick Setup\\index.htm") == 0;
    }
    EXPECT_TRUE(manual);
    EXPECT_TRUE(guide);
}

TEST_F(EmbeddedArchives, PreviousUninstallerPackageHoldsOneProgram) {
    const ResourceData data = LoadResourceData(IDR_OLD_UNINSTALLER);
    ASSERT_NE(data.bytes, nullptr);
    PackageArchive archive;
    ASSERT_TRUE(archive.Open(data.bytes, data.size));
    ASSERT_EQ(archive.Count(), 1u);
    EXPECT_EQ(std::memcmp(archive.Data(archive.Entry(0)), "MZ", 2), 0);
}

TEST_F(EmbeddedArchives, MissingResourceGivesNothing) {
    const ResourceData data = LoadResourceData(4242);
    EXPECT_EQ(data.bytes, nullptr);
    EXPECT_EQ(data.size, 0u);
}

}  // namespace
