// The few locale-aware character services the text type needs. The Windows
// build answers them with the user's default locale and ANSI code page; the
// portable build (native tests and tools) answers them for plain ASCII.
#pragma once

#include <cstddef>

namespace textlocale {

bool IsAlphaNumeric(unsigned char c);
/// True when the first byte of a two-byte character of the active code page.
bool IsLeadByte(unsigned char c);
/// Compares exactly n bytes of a and b in the user's locale.
bool Equal(const char* a, const char* b, size_t n, bool ignoreCase);

}  // namespace textlocale
