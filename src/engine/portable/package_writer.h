// Writing the PackageArchive format: the other half of the reader,
// used at build time by the packer (tools/packer) and by the native tests.
// Portable: no Windows headers here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

/// Longest stored name the packer accepts: MAX_PATH (260) less its NUL.
constexpr size_t kPackageMaxNameLength = 259;
/// Largest archive the packer writes. The format itself allows 32-bit sizes;
/// keeping below 2^31 keeps every offset and size a positive signed value.
constexpr uint64_t kPackageMaxArchiveSize = 0x7FFFFFFFu;

/// An entry to be packed: its stored name and its size in bytes.
struct PackageItem {
    std::string name;
    uint64_t size;
};

/// Where everything goes: data start D, the whole archive's size, and each
/// entry's data offset relative to D (data areas back to back in table order).
struct PackageLayout {
    uint32_t dataStart = 0;
    uint32_t archiveSize = 0;
    std::vector<uint32_t> dataOffsets;
};

/// A stored name must be a relative path with "\" between folder levels:
/// 1 to 259 characters, no control characters, none of < > : " / | ? *,
/// no empty, "." or ".." level, and no level ending in a space or a dot.
bool CheckPackageName(const std::string& name, std::string* error);

/// Checks every name (and that no two are equal, ignoring ASCII case) and
/// every limit: at most 65,535 entries, D at most 0xFFFFF, entries below
/// 2^31 bytes, the archive at most kPackageMaxArchiveSize bytes, and no empty
/// entry with no data after it (the reader rejects an entry that starts at
/// the end of the archive). On success fills *layout; on failure returns false
/// with a one-line message naming the offending entry in *error.
bool PlanPackageLayout(const std::vector<PackageItem>& items, PackageLayout* layout, std::string* error);

/// The payload invariant that file installation relies on (it creates
/// only the last folder level): an entry in a sub-folder A\B must come after
/// an entry that lies directly in A. Folder names compare ignoring ASCII case.
/// Returns false with a message naming the first offending entry.
bool CheckFolderOrder(const std::vector<std::string>& names, std::string* error);

/// XORs n bytes that lie at resource offsets offset, offset + 1, ... (offset
/// at least 1) with the key stream: (key + resource offset - 1) mod 256.
/// Key 0 leaves the bytes alone. Scrambling is its own inverse.
void ScramblePackageBytes(uint8_t* bytes, size_t n, uint8_t key, uint64_t offset);

/// An entry with its bytes.
struct PackageFile {
    std::string name;
    std::vector<uint8_t> data;
};

/// Builds a whole archive in memory: key byte, count, D, the headers in the
/// given order, the end magic ending exactly at D, then the data areas back to
/// back; everything after the key scrambled when key is not 0. Fails (with
/// *archive untouched) for the reasons PlanPackageLayout gives.
bool WritePackageArchive(const std::vector<PackageFile>& files, uint8_t key, std::vector<uint8_t>* archive,
                         std::string* error);
