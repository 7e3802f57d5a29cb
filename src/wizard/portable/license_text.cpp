#include "wizard/portable/license_text.h"

SetupString UnscrambleText(const uint8_t* bytes, uint32_t size, uint8_t key) {
    SetupString text;
    for (uint32_t i = 0; i < size && bytes[i] != 0; ++i) text.AppendChar(static_cast<char>(bytes[i] ^ key));
    return text;
}

bool ScrambleText(const std::vector<uint8_t>& plain, uint8_t key, std::vector<uint8_t>& scrambled) {
    std::vector<uint8_t> stored;
    stored.reserve(plain.size() + 1);
    for (const uint8_t byte : plain) {
        if (byte == 0 || byte == key) return false;
        stored.push_back(static_cast<uint8_t>(byte ^ key));
    }
    stored.push_back(0);
    scrambled.swap(stored);
    return true;
}

SetupString InsertYear(const SetupString& text, unsigned year) {
    SetupString yearText;
    yearText.Format("%u", year);
    return text.ReplaceAll(license::kYearPlaceholder, yearText.c_str(), true);
}
