// PackageArchive: the format of the archives the setup carries in its
// resources, and the reader that validates one, decodes it into a
// private copy and indexes its entries. Portable: no Windows headers here.
#pragma once

#include <cstddef>
#include <cstdint>

/// End magic 0x91813B0F, stored little-endian (bytes 0F 3B 81 91).
constexpr uint32_t kPackageMagic = 0x91813B0Fu;
/// Resource offset of the first entry header (after key, count and data start).
constexpr uint32_t kPackageHeaderStart = 9;
constexpr uint32_t kPackageMaxEntries = 0xFFFFu;
constexpr uint32_t kPackageMaxDataStart = 0xFFFFFu;

/// One entry of the index. `name` points into the decoded copy, so the entry
/// is usable only while the copy lives; `dataOffset` is an offset into the
/// copy (not the resource): the bytes are at copy + dataOffset.
struct PackageEntry {
    const char* name;
    uint32_t dataOffset;
    uint32_t size;
};

/// The index: one heap block, a count followed by `count` entries in table
/// order. On the 32-bit target it is exactly 4 + 12 x N bytes (8 + 16 x N in 64-bit code).
struct alignas(PackageEntry) PackageIndex {
    uint32_t count;

    PackageEntry* Entries() { return reinterpret_cast<PackageEntry*>(this + 1); }
    const PackageEntry* Entries() const { return reinterpret_cast<const PackageEntry*>(this + 1); }
};

/// Validates the archive at bytes/size, decodes it into a new heap block of
/// size - 1 bytes (resource offset x is copy offset x - 1) and builds its index.
/// On success sets *index and *copy and returns true; the caller owns both and
/// releases them with FreePackageArchive (or hands them to a PackageArchive).
/// On failure returns false, frees what it allocated and leaves both outputs
/// untouched. Never reads outside bytes[0, size) or the copy.
bool OpenPackageArchive(const void* bytes, uint32_t size, PackageIndex** index, uint8_t** copy);

/// Frees an index and copy made by OpenPackageArchive; either may be null.
void FreePackageArchive(PackageIndex* index, uint8_t* copy);

/// Frees the pair and sets both pointers to null, so that a second release is
/// harmless (for records such as InstallState that keep the pair in fields).
void ReleasePackageArchive(PackageIndex*& index, uint8_t*& copy);

/// Owner of one decoded copy and its index; frees both on destruction.
/// Movable, not copyable (the index points into the copy).
class PackageArchive {
public:
    PackageArchive() = default;
    ~PackageArchive();
    PackageArchive(const PackageArchive&) = delete;
    PackageArchive& operator=(const PackageArchive&) = delete;
    PackageArchive(PackageArchive&& other) noexcept;
    PackageArchive& operator=(PackageArchive&& other) noexcept;

    /// Opens bytes/size with OpenPackageArchive. On success the previous pair
    /// (if any) is freed and replaced; on failure this owner is unchanged.
    bool Open(const void* bytes, uint32_t size);
    /// Frees the pair; the owner is then empty.
    void Reset();
    /// Gives up ownership: the caller receives the pair (or two nulls when
    /// empty) and must free it; the owner is then empty.
    void Detach(PackageIndex** index, uint8_t** copy);

    bool IsOpen() const { return index_ != nullptr; }
    /// Entry count; 0 when empty.
    uint32_t Count() const { return index_ ? index_->count : 0; }
    /// Entry i, i below Count().
    const PackageEntry& Entry(uint32_t i) const { return index_->Entries()[i]; }
    /// First byte of the entry's data inside the copy.
    const uint8_t* Data(const PackageEntry& entry) const { return copy_ + entry.dataOffset; }
    /// Length of the decoded copy (resource size - 1); 0 when empty.
    uint32_t CopySize() const { return copySize_; }

    const uint8_t* Copy() const { return copy_; }

private:
    PackageIndex* index_ = nullptr;
    uint8_t* copy_ = nullptr;
    uint32_t copySize_ = 0;
};
