// Registry access: two request engines (text and 32-bit numbers) and the
// wrappers for the application's Settings key and other keys. Every request
// opens or creates its key and closes it before returning; nothing is cached.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/portable/setup_string.h"

enum RegistryRequestFlags : uint32_t {
    kRegistryWrite = 1,
    kRegistryRead = 2,    // done before the write when both are set
    kRegistryDelete = 4,  // removes the value instead of writing it, after the read; creates a missing key
};

/// Read status: 1 read, 0 absent (or of another type, or empty data), -1 other failure.
struct RegistryRequest {
    RegistryRequest() = default;
    RegistryRequest(uint32_t flags_, HKEY root_, const char* subkey_, const char* valueName_)
        : flags(flags_), root(root_), subkey(subkey_), valueName(valueName_) {}

    uint32_t flags = 0;
    HKEY root = nullptr;
    const char* subkey = "";
    const char* valueName = "";
    const char* textToWrite = "";
    SetupString* destination = nullptr;
    int32_t* readStatus = nullptr;
    int32_t lastError = 0;
};

struct RegistryDwordRequest {
    RegistryDwordRequest() = default;
    RegistryDwordRequest(uint32_t flags_, HKEY root_, const char* subkey_, const char* valueName_)
        : flags(flags_), root(root_), subkey(subkey_), valueName(valueName_) {}

    uint32_t flags = 0;
    HKEY root = nullptr;
    const char* subkey = "";
    const char* valueName = "";
    uint32_t numberToWrite = 0;
    uint32_t numberRead = 0;
    int32_t* readStatus = nullptr;
    int32_t lastError = 0;
};

/// 1 on success, 0 when the write or delete part failed (a value that is not there counts as deleted); a
/// read-only request always gives 1.
int RunRegistryRequest(RegistryRequest& request);
int RunRegistryDwordRequest(RegistryDwordRequest& request);

/// Text value of any key ("" names its default value), or `defaultText` when the read status is not 1.
SetupString ReadRegistryText(HKEY root, const char* subkey, const char* valueName, const char* defaultText,
                             int32_t* status = nullptr);
/// Removes a value of any key; 1 also when it was not there.
int DeleteRegistryValue(HKEY root, const char* subkey, const char* valueName);

/// Text value of the Settings key, or `defaultText` when the read status is not 1.
SetupString ReadSetting(HKEY root, const char* valueName, const char* defaultText, int32_t* status = nullptr);
/// Writes a REG_SZ into the Settings key, creating the key path when needed.
int WriteSetting(const char* valueName, const char* text, HKEY root);
/// Writes a REG_DWORD into the Settings key.
int WriteSettingDword(const char* valueName, uint32_t number, HKEY root);
