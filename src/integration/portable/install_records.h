// Texts of the uninstall entry and of the installer's referrer record. Portable.
#pragma once

#include <array>
#include <cstdint>

#include "foundation/portable/setup_string.h"

struct NamedText {
    const char* name;
    SetupString value;
};

/// The six values of the uninstall entry for a program installed in `installFolder`, in the order written.
std::array<NamedText, 6> UninstallEntryValues(const char* installFolder);

/// One of the values that the Apps list (Add/Remove Programs) shows besides the six: a text, or a number.
struct AppsEntryValue {
    const char* name;
    bool isNumber;
    SetupString text;
    uint32_t number;
};

/// The Apps list's values written after the six, in the order written: icon, location, size in kilobytes of
/// `installedBytes` (rounded up), the install date (`year`, `month`, `day`: yyyymmdd), the version, no modify
/// or repair, the product page and the silent uninstallation.
std::array<AppsEntryValue, 10> AppsEntryValues(const char* installFolder, uint64_t installedBytes, int year, int month,
                                               int day);

/// Splits a referrer text at its first two 0xFF bytes; missing fields are empty, the third keeps the rest.
void SplitReferrerFields(const char* referrer, SetupString& first, SetupString& second, SetupString& third);

/// The scrambled copy of one referrer field, as stored in "rf1".."rf3".
SetupString ScrambleReferrerField(const char* text);
