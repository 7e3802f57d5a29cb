#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "driver.h"
#include "engine/portable/package_archive.h"
#include "foundation/globals.h"
#include "foundation/resource_data.h"
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

// The manifest of a program given as bytes, read from a copy in a scratch folder; empty when it has none.
std::string ManifestOf(const uint8_t* bytes, uint32_t size, const std::string& folder) {
    const std::string copy = folder + "\\program.exe";
    if (!driver::WriteFileText(copy, std::string(reinterpret_cast<const char*>(bytes), size))) return "<unwritable>";
    std::string manifest;
    if (HMODULE module = LoadLibraryExA(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
            if (HGLOBAL loaded = LoadResource(module, found))
                manifest.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
        }
        FreeLibrary(module);
    }
    DeleteFileA(copy.c_str());
    return manifest;
}

TEST_F(EmbeddedArchives, EveryProgramThatTheSetupCarriesRunsAsItsInvoker) {
    const std::string folder = driver::ScratchFolder("kvr-manifests");
    for (const int id : {IDR_PACKAGE, IDR_OLD_UNINSTALLER}) {
        const ResourceData data = LoadResourceData(id);
        PackageArchive archive;
        ASSERT_TRUE(archive.Open(data.bytes, data.size));
        int programs = 0;
        for (uint32_t i = 0; i < archive.Count(); ++i) {
            const PackageEntry& entry = archive.Entry(i);
            const uint8_t* bytes = archive.Data(entry);
            const std::string name = entry.name;
            // A program, not a library: the codec probe goes by its own extension.
            if (entry.size < 2 || std::memcmp(bytes, "MZ", 2) != 0 || name.find(".dll") != std::string::npos) continue;
            ++programs;
            SCOPED_TRACE(name);
            const std::string manifest = ManifestOf(bytes, entry.size, folder);
            EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"),
                      std::string::npos)
                << manifest;
        }
        EXPECT_EQ(programs, id == IDR_PACKAGE ? 4 : 1) << "every program was looked at";
    }
    driver::RemoveTree(folder);
}

TEST_F(EmbeddedArchives, MissingResourceGivesNothing) {
    const ResourceData data = LoadResourceData(4242);
    EXPECT_EQ(data.bytes, nullptr);
    EXPECT_EQ(data.size, 0u);
}

}  // namespace
