#include "wizard/portable/license_text.h"

SetupString UnscrambleText(const uint8_t* bytes, uint32_t size, uint8_t key) {
    SetupString text;
    for (uint32_t i = 0; i < size && bytes[i] != 0; ++i) text.AppendChar(static_cast<char>(bytes[i] ^ key));
    return text;
}

SetupString InsertYear(const SetupString& text, unsigned year) {
    SetupString yearText;
    yearText.Format("%u", year);
    return text.ReplaceAll(license::kYearPlaceholder, yearText.c_str(), true);
}
