// SetupString: the setup's one text type. A growable single-byte text in the
// ANSI code page with explicit capacity and stored length (the stored length
// counts the terminating zero). Portable: no Windows headers here.
#pragma once

#include <cstdarg>
#include <cstdint>

// Raised (as a plain int) after the string has released its buffer.
enum SetupStringError : int {
    kOutOfMemory = 2,
    kPositionOutOfRange = 3,
};

/// The IsBlank mask that tells that nothing was entered: only spaces, tabs and line ends.
constexpr int kNothingEntered = 7;

class SetupString {
public:
    static constexpr int kInitialSize = 260;
    // Unit of growth: the memory page size of every processor the setup runs on.
    static constexpr uint32_t kGranularity = 4096;

    SetupString();
    SetupString(const char* text);  // NOLINT: implicit on purpose, texts flow freely
    SetupString(const SetupString& other);
    SetupString(SetupString&& other) noexcept;
    SetupString& operator=(const SetupString& other);
    SetupString& operator=(SetupString&& other) noexcept;
    SetupString& operator=(const char* text);
    ~SetupString();

    /// The zero-terminated text; "" when the string holds no buffer.
    const char* c_str() const;
    /// The owned storage (may be null after Release or a failed allocation).
    char* Buffer() { return buffer_; }
    uint32_t Capacity() const { return capacity_; }
    /// Bytes in use, including the terminator.
    uint32_t StoredLength() const { return stored_; }
    /// Character count (stored length minus the terminator).
    uint32_t Length() const;
    bool Empty() const { return Length() == 0; }

    // Storage management.
    void Reserve(uint32_t n);
    void Shrink();
    void Reset();
    void Release();
    uint32_t AppendBytes(const void* bytes, int n);
    /// Works on stored bytes; fill < 0 means no fill byte.
    uint32_t Resize(uint32_t n, int fill = -1);
    void Terminate();

    // Assignment and concatenation.
    void Assign(const SetupString& other);
    void Assign(const char* text);
    uint32_t Append(const char* text);
    uint32_t Append(const SetupString& other);
    void AppendChar(char c);
    void Clear();

    // Formatting (runtime printf language).
    uint32_t Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    uint32_t AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Reading and searching.
    char CharAt(uint32_t position) const;
    int Find(char c, int start = 0) const;
    int ReverseFind(char c, int skip = 0) const;
    int Count(char c, int start = 0) const;
    /// Mask bits: 1 spaces, 2 tabs, 4 CR/LF (kNothingEntered: all three). Mask 0 tests for the empty text.
    int IsBlank(int mask) const;

    // Cutting: new strings, the source is unchanged.
    SetupString Left(int n) const;
    SetupString Right(int n) const;
    SetupString Mid(int start, int count) const;

    // Editing in place.
    void Erase(int position, int count);
    void EraseAt(uint32_t position);
    void DropLast();
    int SetLength(int n, char fill = ' ');
    void TrimLeft(const char* set);
    void TrimRight(const char* set);
    void Trim(const char* set);
    void KeepAlphanumeric();
    SetupString ReplaceAll(const char* token, const char* replacement, bool ignoreCase) const;

    // Tokenizing and comparing.
    /// The cursor starts at 0 and becomes 0xFFFFFFFF once the text is exhausted.
    SetupString NextToken(const char* delimiters, uint32_t& cursor) const;
    /// 1 when `other` is the greater version, -1 when this one is, 0 when equal.
    int CompareVersion(const char* other) const;

    bool operator==(const char* text) const;

private:
    void Reallocate(uint32_t size);
    void AppendFormatted(const char* format, va_list args);
    void DropTerminator();
    void RemoveBytes(uint32_t position, int count);
    [[noreturn]] void Fail(int code);

    char* buffer_ = nullptr;
    uint32_t capacity_ = 0;
    uint32_t stored_ = 0;
    int initialSize_ = kInitialSize;
};

/// The blanks trimmed by every path and input operation.
constexpr const char kBlanks[] = " \t\r\n";

SetupString Concat(const SetupString& a, const SetupString& b);
SetupString Concat(const SetupString& a, const char* b);
/// Trimmed copy ending in exactly one separator ("\" added unless "\" or "/" ends it).
SetupString WithTrailingSeparator(const char* text);
/// Trimmed copy with one trailing "\" or "/" removed.
SetupString WithoutTrailingSeparator(const char* text);
/// In place: keeps only the digits and dots.
void KeepVersionChars(SetupString& text);
