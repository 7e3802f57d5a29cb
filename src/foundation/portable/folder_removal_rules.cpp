#include "foundation/portable/folder_removal_rules.h"

#include <cstring>

#include "foundation/portable/text_locale.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Width in bytes of the character at p: a trail byte may look like a separator.
size_t CharWidth(const char* text, size_t p, size_t length) {
    return (p + 1 < length && textlocale::IsLeadByte(static_cast<unsigned char>(text[p]))) ? 2 : 1;
}

bool HasDriveName(const char* path, size_t length) {
    const char letter = static_cast<char>(path[0] | 0x20);
    return length >= 2 && letter >= 'a' && letter <= 'z' && path[1] == ':';
}

// A server, share or folder name. Names of dots and spaces alone resolve to "." or "..", a colon
// names a stream, and "?" marks a device path.
bool IsPlainName(const char* name, size_t length) {
    bool onlyDotsAndSpaces = true;
    for (size_t p = 0; p < length; ++p) {
        if (name[p] == ':' || name[p] == '?') return false;
        if (name[p] != '.' && name[p] != ' ') onlyDotsAndSpaces = false;
    }
    return length > 0 && !onlyDotsAndSpaces;
}

// Calls visit(name, length) for each element between separators, empty ones included; stops at false.
template <typename Visit>
bool EachElement(const char* text, size_t length, Visit visit) {
    size_t start = 0;
    for (size_t p = 0; p < length; p += CharWidth(text, p, length)) {
        if (!IsSeparator(text[p])) continue;
        if (!visit(text + start, p - start)) return false;
        start = p + 1;
    }
    return visit(text + start, length - start);
}

}  // namespace

size_t LengthWithoutTrailingSeparators(const char* path) {
    if (path == nullptr) return 0;
    size_t length = 0;
    while (path[length] != '\0') ++length;
    size_t end = 0;  // one past the last character that is not a separator
    for (size_t p = 0; p < length;) {
        const size_t width = CharWidth(path, p, length);
        if (width == 2 || !IsSeparator(path[p])) end = p + width;
        p += width;
    }
    return end;
}

bool IsRemovableFolderPath(const char* path) {
    const size_t length = LengthWithoutTrailingSeparators(path);
    size_t rootLength = 0;
    int rootNames = 0;  // server and share
    if (length > 0 && HasDriveName(path, length)) {
        if (length == 2 || !IsSeparator(path[2])) return false;  // "C:" is the drive's current folder
        rootLength = 3;
    } else if (length >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        rootLength = 2;
        rootNames = 2;
    } else {
        return false;
    }
    int index = 0;
    int folders = 0;
    const bool plain = EachElement(path + rootLength, length - rootLength, [&](const char* name, size_t n) {
        if (index++ < rootNames) return IsPlainName(name, n);
        if (n == 0) return true;  // a doubled separator counts as one
        folders += 1;
        return IsPlainName(name, n);
    });
    return plain && folders > 0;
}

bool StaysInsideFolder(const char* name) {
    if (name == nullptr || name[0] == '\0' || IsSeparator(name[0])) return false;
    return EachElement(name, std::strlen(name), [](const char* element, size_t n) {
        return n == 0 || IsPlainName(element, n);  // a doubled or trailing separator counts as one
    });
}

bool LiesStrictlyBelow(const char* path, const char* folder) {
    const size_t base = LengthWithoutTrailingSeparators(folder);
    const size_t length = LengthWithoutTrailingSeparators(path);
    if (base == 0 || length <= base + 1 || !IsSeparator(path[base]) || !textlocale::Equal(path, folder, base, true))
        return false;
    return EachElement(path + base + 1, length - base - 1, IsPlainName);
}

bool IsSameFolderPath(const char* a, const char* b) {
    const size_t length = LengthWithoutTrailingSeparators(a);
    return length > 0 && length == LengthWithoutTrailingSeparators(b) && textlocale::Equal(a, b, length, true);
}
