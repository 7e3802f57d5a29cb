// kvr_licensegen INPUT OUTPUT: reads the license agreement (plain text), gives it
// Windows line ends and writes its scrambled, zero-terminated form for the
// setup's resources. Fails when the text is empty, lacks the year placeholder
// or holds a byte that cannot be stored.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "wizard/portable/license_text.h"

namespace {

std::vector<uint8_t> WithCrLf(const std::vector<uint8_t>& text) {
    std::vector<uint8_t> result;
    result.reserve(text.size() + text.size() / 32);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) result.push_back('\r');
        result.push_back(text[i]);
    }
    return result;
}

bool HasPlaceholder(const std::vector<uint8_t>& text) {
    const size_t n = std::strlen(license::kYearPlaceholder);
    for (size_t i = 0; i + n <= text.size(); ++i) {
        if (std::memcmp(text.data() + i, license::kYearPlaceholder, n) == 0) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kvr_licensegen INPUT OUTPUT\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "kvr_licensegen: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::vector<uint8_t> plain = WithCrLf(
        std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    if (plain.empty() || !HasPlaceholder(plain)) {
        std::fprintf(stderr, "kvr_licensegen: %s is empty or has no %s\n", argv[1], license::kYearPlaceholder);
        return 1;
    }
    std::vector<uint8_t> scrambled;
    if (!ScrambleText(plain, license::kKey, scrambled)) {
        std::fprintf(stderr, "kvr_licensegen: %s holds a zero byte or the key byte 0x%02X\n", argv[1],
                     license::kKey);
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(scrambled.data()), static_cast<std::streamsize>(scrambled.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "kvr_licensegen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
