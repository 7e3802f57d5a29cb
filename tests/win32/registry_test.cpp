#include "foundation/registry.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

#include "foundation/portable/product.h"
#include "foundation/win_handles.h"

namespace {

// Each test starts without the vendor's keys and leaves none behind.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\from Ostrevik"); }
    void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\from Ostrevik"); }

    static void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
        win::RegKey key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, product::kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                  key.Receive(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
};

TEST_F(RegistryTest, MissingKeyGivesTheDefaultWithStatusZero) {
    int32_t status = 7;
    EXPECT_STREQ(ReadSetting(HKEY_CURRENT_USER, "ver", "0", &status).c_str(), "0");
    EXPECT_EQ(status, 0);

    RegistryRequest request(kRegistryRead, HKEY_CURRENT_USER, product::kSettingsKey, "ver");
    request.readStatus = &status;
    EXPECT_EQ(RunRegistryRequest(request), 1);
    EXPECT_EQ(request.lastError, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, WriteCreatesTheKeyPathAndReadsBack) {
    const std::string text(300, 'k');
    ASSERT_EQ(WriteSetting("InstallFolder", text.c_str(), HKEY_CURRENT_USER), 1);
    DWORD type = 0;
    DWORD size = 0;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, product::kSettingsKey, "InstallFolder", RRF_RT_ANY, &type, nullptr,
                           &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 301u);
    int32_t status = 0;
    EXPECT_EQ(std::string(ReadSetting(HKEY_CURRENT_USER, "InstallFolder", "x", &status).c_str()), text);
    EXPECT_EQ(status, 1);
}

TEST_F(RegistryTest, ValuesOfOtherShapesReadAsAbsentOrEmpty) {
    SetRaw("empty", REG_SZ, "", 1);
    SetRaw("nodata", REG_SZ, "", 0);
    SetRaw("expand", REG_EXPAND_SZ, "%TEMP%", 7);
    const DWORD number = 5;
    SetRaw("number", REG_DWORD, &number, sizeof number);
    struct Case {
        const char* name;
        const char* expected;
        int32_t status;
    } cases[] = {
        {"empty", "", 1},
        {"nodata", "default", 0},
        {"expand", "default", 0},
        {"number", "default", 0},
        {"missing", "default", 0},
    };
    for (const Case& c : cases) {
        int32_t status = 9;
        EXPECT_STREQ(ReadSetting(HKEY_CURRENT_USER, c.name, "default", &status).c_str(), c.expected) << c.name;
        EXPECT_EQ(status, c.status) << c.name;
    }
}

TEST_F(RegistryTest, TextStoredWithoutTerminatorStillEndsWhereItsDataEnds) {
    const std::string data(260, 'n');  // exactly the initial buffer size, no zero byte
    SetRaw("raw", REG_SZ, data.data(), static_cast<DWORD>(data.size()));
    SetRaw("short", REG_SZ, "abc", 3);
    int32_t status = 0;
    EXPECT_EQ(std::string(ReadSetting(HKEY_CURRENT_USER, "raw", "", &status).c_str()), data);
    EXPECT_EQ(status, 1);
    EXPECT_STREQ(ReadSetting(HKEY_CURRENT_USER, "short", "", &status).c_str(), "abc");
}

TEST_F(RegistryTest, DwordRoundTripAndTypeMismatch) {
    ASSERT_EQ(WriteSettingDword("WOVol", 0xFFFFFFFEu, HKEY_CURRENT_USER), 1);
    ASSERT_EQ(WriteSetting("short", "ab", HKEY_CURRENT_USER), 1);
    ASSERT_EQ(WriteSetting("ver", "1.2.3", HKEY_CURRENT_USER), 1);
    struct Case {
        const char* name;
        int32_t status;
        uint32_t number;
    } cases[] = {
        {"WOVol", 1, 0xFFFFFFFEu},
        {"short", 0, 0},  // fits the 4-byte buffer but is text
        {"ver", -1, 0},   // does not fit: the query itself fails with "more data"
        {"missing", 0, 0},
    };
    for (const Case& c : cases) {
        int32_t status = 9;
        RegistryDwordRequest request(kRegistryRead, HKEY_CURRENT_USER, product::kSettingsKey, c.name);
        request.readStatus = &status;
        EXPECT_EQ(RunRegistryDwordRequest(request), 1);
        EXPECT_EQ(status, c.status) << c.name;
        EXPECT_EQ(request.numberRead, c.number) << c.name;
    }
}

TEST_F(RegistryTest, ReadThenWriteInOneRequest) {
    SetupString before;
    int32_t status = 9;
    RegistryRequest request(kRegistryRead | kRegistryWrite, HKEY_CURRENT_USER, product::kSettingsKey, "nshbt0");
    request.textToWrite = "after";
    request.destination = &before;
    request.readStatus = &status;
    EXPECT_EQ(RunRegistryRequest(request), 1);
    EXPECT_EQ(status, 0);  // read first: nothing there yet
    EXPECT_STREQ(ReadSetting(HKEY_CURRENT_USER, "nshbt0", "").c_str(), "after");
}

TEST_F(RegistryTest, ReadThenDeleteInOneRequestAndAgainWhenNothingIsLeft) {
    ASSERT_EQ(WriteSetting("Referrer", "ab", HKEY_CURRENT_USER), 1);
    const struct {
        int32_t status;
        const char* text;
    } rounds[] = {{1, "ab"}, {0, ""}};  // a value that is not there counts as deleted
    for (const auto& round : rounds) {
        SetupString text("");
        int32_t status = 9;
        RegistryRequest request(kRegistryRead | kRegistryDelete, HKEY_CURRENT_USER, product::kSettingsKey, "Referrer");
        request.destination = &text;
        request.readStatus = &status;
        EXPECT_EQ(RunRegistryRequest(request), 1);
        EXPECT_EQ(status, round.status);
        EXPECT_STREQ(text.c_str(), round.text);
        ReadSetting(HKEY_CURRENT_USER, "Referrer", "", &status);
        EXPECT_EQ(status, 0) << "the value is still there";
    }

    // A missing key is made on the way, and stays behind empty.
    EXPECT_EQ(DeleteRegistryValue(HKEY_CURRENT_USER, product::kInstallerKey, "Referrer"), 1);
    win::RegKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, product::kInstallerKey, 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
    DWORD values = 9;
    RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    EXPECT_EQ(values, 0u);
}

TEST_F(RegistryTest, AnyKeyReadsItsDefaultValueOrTheDefaultText) {
    const char* command = "Software\\from Ostrevik\\http\\shell\\open\\command";
    int32_t status = 9;
    EXPECT_STREQ(ReadRegistryText(HKEY_CURRENT_USER, command, "", "none", &status).c_str(), "none");
    EXPECT_EQ(status, 0);
    const char browser[] = "\"C:\\Browser\\browser.exe\" %1";
    ASSERT_EQ(SHSetValueA(HKEY_CURRENT_USER, command, nullptr, REG_SZ, browser, sizeof browser), ERROR_SUCCESS);
    EXPECT_STREQ(ReadRegistryText(HKEY_CURRENT_USER, command, "", "none", &status).c_str(), browser);
    EXPECT_EQ(status, 1);
}

TEST_F(RegistryTest, WriteUnderAnUnwritableRootFailsWithTheSystemCode) {
    RegistryRequest request;
    request.flags = kRegistryWrite;
    request.root = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x12345678));  // not a key
    request.subkey = "x";
    request.valueName = "y";
    EXPECT_EQ(RunRegistryRequest(request), 0);
    EXPECT_NE(request.lastError, 0);

    request.flags = kRegistryDelete;
    request.lastError = 0;
    EXPECT_EQ(RunRegistryRequest(request), 0);
    EXPECT_NE(request.lastError, 0);
}

}  // namespace
