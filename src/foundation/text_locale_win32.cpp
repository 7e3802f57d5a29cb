#include "foundation/portable/text_locale.h"

#include <windows.h>

namespace textlocale {

bool IsAlphaNumeric(unsigned char c) { return IsCharAlphaNumericA(static_cast<CHAR>(c)) != FALSE; }

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

bool Equal(const char* a, const char* b, size_t n, bool ignoreCase) {
    return CompareStringA(LOCALE_USER_DEFAULT, ignoreCase ? NORM_IGNORECASE : 0, a, static_cast<int>(n), b,
                          static_cast<int>(n)) == CSTR_EQUAL;
}

}  // namespace textlocale
