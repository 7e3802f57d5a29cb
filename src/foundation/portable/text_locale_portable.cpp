#include "foundation/portable/text_locale.h"

#include <cctype>
#include <cstring>

namespace textlocale {

bool IsAlphaNumeric(unsigned char c) { return c < 128 && std::isalnum(c); }

bool IsLeadByte(unsigned char) { return false; }

bool Equal(const char* a, const char* b, size_t n, bool ignoreCase) {
    if (!ignoreCase) return std::memcmp(a, b, n) == 0;
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace textlocale
