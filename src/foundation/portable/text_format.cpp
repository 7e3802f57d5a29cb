#include "foundation/portable/text_format.h"

#include <cstdint>
#include <cstring>

namespace {

// Writes into the caller's buffer as far as it reaches and counts everything.
class Output {
public:
    Output(char* out, size_t capacity) : out_(out), capacity_(capacity) {}

    void Put(char c) {
        if (length_ + 1 < capacity_) out_[length_] = c;
        ++length_;
    }
    void Put(const char* text, size_t n) {
        for (size_t i = 0; i < n; ++i) Put(text[i]);
    }
    void Repeat(char c, size_t n) {
        for (size_t i = 0; i < n; ++i) Put(c);
    }
    size_t Finish() {
        if (capacity_ > 0) out_[length_ < capacity_ ? length_ : capacity_ - 1] = '\0';
        return length_;
    }

private:
    char* out_;
    size_t capacity_;
    size_t length_ = 0;
};

struct Spec {
    bool leftAlign = false;
    bool zeroPad = false;
    int width = 0;
    int precision = -1;  // none given
    int size = 0;        // -2 hh, -1 h, 0 int, 1 long, 2 long long, 3 size_t
};

// Reads digits or '*' (taken from the arguments).
int ReadNumber(const char*& cursor, va_list& args) {
    if (*cursor == '*') {
        ++cursor;
        return va_arg(args, int);
    }
    int value = 0;
    while (*cursor >= '0' && *cursor <= '9') value = value * 10 + (*cursor++ - '0');
    return value;
}

const char* ReadSpec(const char* cursor, va_list& args, Spec& spec) {
    for (;; ++cursor) {
        if (*cursor == '-') spec.leftAlign = true;
        else if (*cursor == '0') spec.zeroPad = true;
        else break;
    }
    spec.width = ReadNumber(cursor, args);
    if (spec.width < 0) {
        spec.leftAlign = true;
        spec.width = -spec.width;
    }
    if (*cursor == '.') {
        ++cursor;
        spec.precision = ReadNumber(cursor, args);
    }
    // h or hh, l or ll, z
    if (*cursor == 'h' || *cursor == 'l') {
        const char letter = *cursor++;
        const bool doubled = *cursor == letter;
        if (doubled) ++cursor;
        spec.size = letter == 'h' ? (doubled ? -2 : -1) : (doubled ? 2 : 1);
    } else if (*cursor == 'z') {
        ++cursor;
        spec.size = 3;
    }
    return cursor;
}

uint64_t ReadUnsigned(va_list& args, int size) {
    switch (size) {
    case -2: return static_cast<unsigned char>(va_arg(args, unsigned));
    case -1: return static_cast<unsigned short>(va_arg(args, unsigned));
    case 1: return va_arg(args, unsigned long);
    case 2: return va_arg(args, unsigned long long);
    case 3: return va_arg(args, size_t);
    default: return va_arg(args, unsigned);
    }
}

int64_t ReadSigned(va_list& args, int size) {
    switch (size) {
    case -2: return static_cast<signed char>(va_arg(args, int));
    case -1: return static_cast<short>(va_arg(args, int));
    case 1: return va_arg(args, long);
    case 2: return va_arg(args, long long);
    case 3: return static_cast<int64_t>(va_arg(args, size_t));
    default: return va_arg(args, int);
    }
}

// Pads `body` (with its sign in front) to the width.
void PutField(Output& out, const Spec& spec, const char* sign, const char* body, size_t bodyLength, size_t zeros) {
    const size_t signLength = std::strlen(sign);
    const size_t used = signLength + zeros + bodyLength;
    const size_t pad = static_cast<size_t>(spec.width) > used ? spec.width - used : 0;
    if (!spec.leftAlign && !spec.zeroPad) out.Repeat(' ', pad);
    out.Put(sign, signLength);
    if (!spec.leftAlign && spec.zeroPad) out.Repeat('0', pad);
    out.Repeat('0', zeros);
    out.Put(body, bodyLength);
    if (spec.leftAlign) out.Repeat(' ', pad);
}

void PutNumber(Output& out, Spec spec, uint64_t value, bool negative, unsigned base, bool upper) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char text[24];
    size_t n = 0;
    for (uint64_t rest = value; rest != 0; rest /= base) text[sizeof text - ++n] = digits[rest % base];
    if (spec.precision < 0 && n == 0) text[sizeof text - ++n] = '0';
    size_t zeros = 0;
    if (spec.precision >= 0) {
        spec.zeroPad = false;  // a precision turns the '0' flag off, as in C
        if (static_cast<size_t>(spec.precision) > n) zeros = spec.precision - n;
    }
    PutField(out, spec, negative ? "-" : "", text + sizeof text - n, n, zeros);
}

}  // namespace

size_t FormatText(char* out, size_t capacity, const char* format, va_list args) {
    Output output(out, capacity);
    va_list list;
    va_copy(list, args);
    for (const char* cursor = format; *cursor != '\0'; ++cursor) {
        if (*cursor != '%') {
            output.Put(*cursor);
            continue;
        }
        const char* start = cursor;
        Spec spec;
        cursor = ReadSpec(cursor + 1, list, spec);
        switch (*cursor) {
        case '%': output.Put('%'); break;
        case 'd':
        case 'i': {
            const int64_t value = ReadSigned(list, spec.size);
            const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
            PutNumber(output, spec, magnitude, value < 0, 10, false);
            break;
        }
        case 'u': PutNumber(output, spec, ReadUnsigned(list, spec.size), false, 10, false); break;
        case 'x': PutNumber(output, spec, ReadUnsigned(list, spec.size), false, 16, false); break;
        case 'X': PutNumber(output, spec, ReadUnsigned(list, spec.size), false, 16, true); break;
        case 'c': {
            const char c = static_cast<char>(va_arg(list, int));
            spec.zeroPad = false;
            PutField(output, spec, "", &c, 1, 0);
            break;
        }
        case 's': {
            const char* text = va_arg(list, const char*);
            if (text == nullptr) text = "(null)";
            size_t n = 0;
            while (text[n] != '\0' && (spec.precision < 0 || n < static_cast<size_t>(spec.precision))) ++n;
            spec.zeroPad = false;
            PutField(output, spec, "", text, n, 0);
            break;
        }
        default:
            // Not ours: copied as it stands, and the arguments are not read on.
            if (*cursor == '\0') --cursor;
            output.Put(start, static_cast<size_t>(cursor - start + 1));
            break;
        }
    }
    va_end(list);
    return output.Finish();
}
