// Texts of the uninstall entry and of the installer's referrer record. Portable.
#pragma once

#include <array>

#include "foundation/portable/setup_string.h"

struct NamedText {
    const char* name;
    SetupString value;
};

/// The six values of the uninstall entry for a program installed in `installFolder`, in the order written.
std::array<NamedText, 6> UninstallEntryValues(const char* installFolder);

/// Splits a referrer text at its first two 0xFF bytes; missing fields are empty, the third keeps the rest.
void SplitReferrerFields(const char* referrer, SetupString& first, SetupString& second, SetupString& third);

/// The scrambled copy of one referrer field, as stored in "rf1".."rf3".
SetupString ScrambleReferrerField(const char* text);
