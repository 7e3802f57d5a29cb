// kvrcore.dll: the application's shared library, used by kvr.exe. A plain C
// interface so that the DLL and its users need not share a C++ runtime.
#pragma once

#ifdef KVRCORE_BUILDING
#define KVRCORE_API extern "C" __declspec(dllexport)
#else
#define KVRCORE_API extern "C" __declspec(dllimport)
#endif

/// Writes a readable description of a recording format ("44100 Hz, 16 bit, stereo")
/// into `out` (always terminated when size > 0). Returns the full length of the text.
KVRCORE_API int KvrDescribeFormat(unsigned sample_rate, unsigned bits, unsigned channels, char* out, int size);

/// Restores a referrer field as the setup stored it ("rf1".."rf3") into `out`
/// (always terminated when size > 0). Returns the full length of the text.
KVRCORE_API int KvrReadReferrerField(const char* stored, char* out, int size);

/// Version of the library, "1.2.3".
KVRCORE_API const char* KvrCoreVersion();
