// The setup's own printf: the conversions its texts use, formatted the same on every system.
//
// The C++ runtime of the cross compiler formats through a printf of its own that brings floating-point
// formatting into every program (about a fifth of the setup's code), and the system's printf differs
// between versions (no length query on old ones). The setup formats integers and texts only.
#pragma once

#include <cstdarg>
#include <cstddef>

/// Formats like vsnprintf for the conversions %d %i %u %x %X %c %s and %%, with the flags '-' and '0',
/// a width and a precision (digits or '*') and the length modifiers h, hh, l, ll and z. Writes at most
/// `capacity` bytes including the terminator (none when capacity is 0) and returns the length of the
/// whole result. Any other conversion is copied as it stands.
size_t FormatText(char* out, size_t capacity, const char* format, va_list args);
