#include "foundation/portable/setup_string.h"

#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "foundation/portable/text_format.h"
#include "foundation/portable/text_locale.h"

namespace {

constexpr const char kVersionDelimiters[] = ".,- /\\";

bool InSet(const char* set, char c) { return c != '\0' && std::strchr(set, c) != nullptr; }

// Width in bytes of the character at p (two for a lead byte followed by a trail byte).
uint32_t CharWidth(const char* text, uint32_t p, uint32_t length) {
    return (p + 1 < length && textlocale::IsLeadByte(static_cast<unsigned char>(text[p]))) ? 2 : 1;
}

// Decimal conversion of the leading digits, saturating instead of overflowing.
int LeadingNumber(const char* text) {
    long long value = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > INT_MAX) return INT_MAX;
    }
    return static_cast<int>(value);
}

bool EndsWithSeparator(const SetupString& s) {
    const uint32_t length = s.Length();
    uint32_t last = length;  // start of the last character, walked forward so that trail bytes never count
    for (uint32_t p = 0; p < length; p += CharWidth(s.c_str(), p, length)) last = p;
    if (last == length || last + 1 != length) return false;
    const char c = s.c_str()[last];
    return c == '\\' || c == '/';
}

}  // namespace

SetupString::SetupString() {
    buffer_ = static_cast<char*>(std::malloc(kInitialSize));
    if (buffer_ == nullptr) return;  // no buffer: the first operation that needs room raises
    capacity_ = kInitialSize;
    Terminate();
}

SetupString::SetupString(const char* text) : SetupString() {
    if (buffer_ == nullptr) return;
    DropTerminator();
    AppendBytes(text, text ? static_cast<int>(std::strlen(text)) : 0);
    Terminate();
}

SetupString::SetupString(const SetupString& other) : SetupString() { Assign(other); }

SetupString::SetupString(SetupString&& other) noexcept
    : buffer_(std::exchange(other.buffer_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)),
      stored_(std::exchange(other.stored_, 0)),
      initialSize_(other.initialSize_) {}

SetupString& SetupString::operator=(const SetupString& other) {
    Assign(other);
    return *this;
}

SetupString& SetupString::operator=(SetupString&& other) noexcept {
    if (this != &other) {
        std::free(buffer_);
        buffer_ = std::exchange(other.buffer_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
        stored_ = std::exchange(other.stored_, 0);
        initialSize_ = other.initialSize_;
    }
    return *this;
}

SetupString& SetupString::operator=(const char* text) {
    Assign(text);
    return *this;
}

SetupString::~SetupString() { Release(); }

const char* SetupString::c_str() const { return (buffer_ != nullptr && stored_ > 0) ? buffer_ : ""; }

uint32_t SetupString::Length() const { return stored_ > 0 ? stored_ - 1 : 0; }

void SetupString::Fail(int code) {
    Release();
    stored_ = 0;
    throw code;
}

void SetupString::Reallocate(uint32_t size) {
    void* grown = std::realloc(buffer_, size);
    if (grown == nullptr) {
        Release();
        stored_ = 0;
        throw static_cast<int>(kOutOfMemory);
    }
    buffer_ = static_cast<char*>(grown);
    capacity_ = size;
}

void SetupString::Reserve(uint32_t n) {
    const uint32_t need = stored_ + n;
    if (need <= capacity_ && buffer_ != nullptr) return;
    uint32_t candidate = 2 * capacity_;
    if (candidate < need || candidate >= kGranularity) {
        candidate = kGranularity * (need / kGranularity + 1);
        if (4ull * n > candidate - capacity_) candidate += kGranularity;
    }
    Reallocate(candidate);
}

void SetupString::Shrink() {
    const uint32_t slack = kGranularity < 16 ? 16 : kGranularity;
    if (buffer_ != nullptr && capacity_ - stored_ > slack) Reallocate(stored_ + slack);
}

void SetupString::Reset() {
    Reallocate(static_cast<uint32_t>(initialSize_));
    stored_ = 0;
}

void SetupString::Release() {
    std::free(buffer_);
    buffer_ = nullptr;
    capacity_ = 0;
}

uint32_t SetupString::AppendBytes(const void* bytes, int n) {
    if (n <= 0) return stored_;
    Reserve(static_cast<uint32_t>(n));
    std::memcpy(buffer_ + stored_, bytes, static_cast<size_t>(n));
    stored_ += static_cast<uint32_t>(n);
    return stored_;
}

uint32_t SetupString::Resize(uint32_t n, int fill) {
    if (n < stored_) {
        stored_ = n;
        Shrink();
    } else if (n > stored_) {
        Reserve(n - stored_);
        if (fill >= 0) {
            std::memset(buffer_ + stored_, fill, n - stored_);
            stored_ = n;
        }
    }
    return stored_;
}

void SetupString::Terminate() {
    if (stored_ == 0 || buffer_ == nullptr || buffer_[stored_ - 1] != '\0') {
        const char zero = '\0';
        AppendBytes(&zero, 1);
    }
}

void SetupString::DropTerminator() {
    if (stored_ > 0 && buffer_ != nullptr && buffer_[stored_ - 1] == '\0') --stored_;
}

void SetupString::Assign(const SetupString& other) {
    if (this == &other) return;
    if (other.buffer_ == nullptr || other.capacity_ == 0) {
        Clear();
        return;
    }
    Reallocate(other.capacity_);
    std::memcpy(buffer_, other.buffer_, other.stored_);
    stored_ = other.stored_;
    Terminate();
}

void SetupString::Assign(const char* text) {
    Reset();
    AppendBytes(text, text ? static_cast<int>(std::strlen(text)) : 0);
    Terminate();
}

uint32_t SetupString::Append(const char* text) {
    DropTerminator();
    AppendBytes(text, text ? static_cast<int>(std::strlen(text)) : 0);
    Terminate();
    return stored_;
}

uint32_t SetupString::Append(const SetupString& other) {
    if (this == &other) return Append(SetupString(other));
    DropTerminator();
    // The buffer always grows by the other's whole capacity, even when room would suffice.
    Reallocate(capacity_ + other.capacity_);
    if (other.buffer_ != nullptr) {
        std::memcpy(buffer_ + stored_, other.buffer_, other.stored_);
        stored_ += other.stored_;
    }
    Terminate();
    return stored_;
}

void SetupString::AppendChar(char c) {
    DropTerminator();
    AppendBytes(&c, 1);
    Terminate();
}

void SetupString::Clear() {
    Reset();
    Terminate();
}

void SetupString::AppendFormatted(const char* format, va_list args) {
    // Measured first, formatted into a temporary block from the general allocator, then appended.
    va_list measure;
    va_copy(measure, args);
    const size_t count = FormatText(nullptr, 0, format, measure);
    va_end(measure);
    if (count > 0) {
        char* temporary = static_cast<char*>(std::malloc(count + 1));
        if (temporary == nullptr) Fail(kOutOfMemory);
        FormatText(temporary, count + 1, format, args);
        AppendBytes(temporary, static_cast<int>(count));
        std::free(temporary);
    }
    Terminate();
}

uint32_t SetupString::Format(const char* format, ...) {
    Reset();
    va_list args;
    va_start(args, format);
    AppendFormatted(format, args);
    va_end(args);
    return stored_;
}

uint32_t SetupString::AppendFormat(const char* format, ...) {
    DropTerminator();
    va_list args;
    va_start(args, format);
    AppendFormatted(format, args);
    va_end(args);
    return stored_;
}

char SetupString::CharAt(uint32_t position) const {
    if (buffer_ == nullptr || position >= stored_) const_cast<SetupString*>(this)->Fail(kPositionOutOfRange);
    return buffer_[position];
}

int SetupString::Find(char c, int start) const {
    if (buffer_ == nullptr) return -1;
    const int length = static_cast<int>(Length());
    for (int p = start < 0 ? 0 : start; p < length; ++p) {
        if (buffer_[p] == c) return p;
    }
    return -1;
}

int SetupString::ReverseFind(char c, int skip) const {
    if (buffer_ == nullptr) return -1;
    for (int p = static_cast<int>(Length()) - 1 - skip; p >= 0; --p) {
        if (buffer_[p] == c) return p;
    }
    return -1;
}

int SetupString::Count(char c, int start) const {
    if (buffer_ == nullptr) return 0;
    int count = 0;
    const int length = static_cast<int>(Length());
    for (int p = start < 0 ? 0 : start; p < length; ++p) count += buffer_[p] == c;
    return count;
}

int SetupString::IsBlank(int mask) const {
    const uint32_t length = Length();
    for (uint32_t p = 0; p < length; ++p) {
        const char c = buffer_[p];
        const bool allowed = (c == ' ' && (mask & 1)) || (c == '\t' && (mask & 2)) ||
                             ((c == '\r' || c == '\n') && (mask & 4));
        if (!allowed) return 0;
    }
    return 1;
}

SetupString SetupString::Left(int n) const { return Mid(0, n); }

SetupString SetupString::Right(int n) const {
    const int length = static_cast<int>(Length());
    if (n >= length) return *this;
    return Mid(length - n, n);
}

SetupString SetupString::Mid(int start, int count) const {
    SetupString result;
    const int length = static_cast<int>(Length());
    if (start < 0 || start >= length || count <= 0) return result;
    if (count > length - start) count = length - start;
    result.DropTerminator();
    result.AppendBytes(buffer_ + start, count);
    result.Terminate();
    return result;
}

void SetupString::RemoveBytes(uint32_t position, int count) {
    if (buffer_ == nullptr || position >= stored_ || count <= 0) Fail(kPositionOutOfRange);
    const uint32_t n = static_cast<uint32_t>(count) > stored_ - position ? stored_ - position
                                                                          : static_cast<uint32_t>(count);
    std::memmove(buffer_ + position, buffer_ + position + n, stored_ - position - n);
    stored_ -= n;
    Shrink();
    Terminate();
}

void SetupString::Erase(int position, int count) {
    if (count <= 0) return;
    const int length = static_cast<int>(Length());
    if (position < 0) Fail(kPositionOutOfRange);
    if (position < length && count > length - position) count = length - position;
    if (position == length) return;  // nothing left to remove at the end
    RemoveBytes(static_cast<uint32_t>(position), count);
}

void SetupString::EraseAt(uint32_t position) { RemoveBytes(position, 1); }

void SetupString::DropLast() {
    if (Length() > 0) Erase(static_cast<int>(Length()) - 1, 1);
}

int SetupString::SetLength(int n, char fill) {
    if (n <= 0) {
        Clear();
        return 0;
    }
    const uint32_t wanted = static_cast<uint32_t>(n);
    if (wanted < Length()) {
        Erase(n, static_cast<int>(Length() - wanted));
    } else {
        DropTerminator();
        Resize(wanted, static_cast<unsigned char>(fill));
        Terminate();
    }
    return n;
}

void SetupString::TrimLeft(const char* set) {
    if (set == nullptr || *set == '\0') return;
    const uint32_t length = Length();
    uint32_t p = 0;
    while (p < length && CharWidth(buffer_, p, length) == 1 && InSet(set, buffer_[p])) ++p;
    if (p > 0) Erase(0, static_cast<int>(p));
}

void SetupString::TrimRight(const char* set) {
    if (set == nullptr || *set == '\0') return;
    const uint32_t length = Length();
    uint32_t end = 0;  // one past the last character outside the set
    for (uint32_t p = 0; p < length;) {
        const uint32_t width = CharWidth(buffer_, p, length);
        if (width == 2 || !InSet(set, buffer_[p])) end = p + width;
        p += width;
    }
    if (end < length) Erase(static_cast<int>(end), static_cast<int>(length - end));
}

void SetupString::Trim(const char* set) {
    TrimRight(set);
    TrimLeft(set);
}

void SetupString::KeepAlphanumeric() {
    SetupString kept;
    const uint32_t length = Length();
    for (uint32_t p = 0; p < length; ++p) {
        if (textlocale::IsAlphaNumeric(static_cast<unsigned char>(buffer_[p]))) kept.AppendChar(buffer_[p]);
    }
    Assign(kept.c_str());
}

SetupString SetupString::ReplaceAll(const char* token, const char* replacement, bool ignoreCase) const {
    const uint32_t m = token ? static_cast<uint32_t>(std::strlen(token)) : 0;
    if (m == 0) return *this;
    SetupString result;
    const uint32_t length = Length();
    for (uint32_t p = 0; p < length;) {
        if (p + m <= length && textlocale::Equal(buffer_ + p, token, m, ignoreCase)) {
            result.Append(replacement);
            p += m;
        } else {
            result.AppendChar(buffer_[p]);
            ++p;
        }
    }
    return result;
}

SetupString SetupString::NextToken(const char* delimiters, uint32_t& cursor) const {
    if (delimiters == nullptr) return *this;
    const uint32_t length = Length();
    if (cursor < length) {
        uint32_t a = 0;
        while (cursor + a < length && CharWidth(buffer_, cursor + a, length) == 1 &&
               InSet(delimiters, buffer_[cursor + a]))
            ++a;
        if (cursor + a < length) {
            uint32_t b = 0;
            const uint32_t from = cursor + a;
            while (from + b < length) {
                const uint32_t width = CharWidth(buffer_, from + b, length);
                if (width == 1 && InSet(delimiters, buffer_[from + b])) break;
                b += width;
            }
            SetupString token = Mid(static_cast<int>(from), static_cast<int>(b));
            cursor = from + b + 1;
            return token;
        }
    }
    cursor = 0xFFFFFFFFu;
    return SetupString();
}

int SetupString::CompareVersion(const char* other) const {
    const SetupString b(other);
    uint32_t cursorA = 0;
    uint32_t cursorB = 0;
    SetupString tokenA = NextToken(kVersionDelimiters, cursorA);
    SetupString tokenB = b.NextToken(kVersionDelimiters, cursorB);
    while (!tokenA.Empty() && !tokenB.Empty()) {
        for (SetupString* token : {&tokenA, &tokenB}) {
            token->Trim(kBlanks);
            token->KeepAlphanumeric();
        }
        const int numberA = LeadingNumber(tokenA.c_str());
        const int numberB = LeadingNumber(tokenB.c_str());
        if (numberA < numberB) return 1;
        if (numberA > numberB) return -1;
        tokenA = NextToken(kVersionDelimiters, cursorA);
        tokenB = b.NextToken(kVersionDelimiters, cursorB);
    }
    if (!tokenA.Empty()) return -1;
    if (!tokenB.Empty()) return 1;
    return 0;
}

bool SetupString::operator==(const char* text) const { return std::strcmp(c_str(), text ? text : "") == 0; }

SetupString Concat(const SetupString& a, const SetupString& b) {
    SetupString result(a);
    result.Append(b);
    return result;
}

SetupString Concat(const SetupString& a, const char* b) {
    SetupString result(a);
    result.Append(b);
    return result;
}

SetupString WithTrailingSeparator(const char* text) {
    SetupString result(text);
    result.Trim(kBlanks);
    if (!result.Empty() && !EndsWithSeparator(result)) result.AppendChar('\\');
    return result;
}

SetupString WithoutTrailingSeparator(const char* text) {
    SetupString result(text);
    result.Trim(kBlanks);
    if (!result.Empty() && EndsWithSeparator(result)) result.DropLast();
    return result;
}

void KeepVersionChars(SetupString& text) {
    SetupString kept;
    const char* p = text.c_str();
    for (; *p != '\0'; ++p) {
        if ((*p >= '0' && *p <= '9') || *p == '.') kept.AppendChar(*p);
    }
    text.Assign(kept.c_str());
}
