#include "engine/portable/package_archive.h"

#include <cstdlib>
#include <cstring>
#include <new>

// 32-bit: 12-byte records after a 4-byte count; 64-bit: 16-byte records after a padded count.
static_assert(sizeof(PackageEntry) == sizeof(void*) + 8, "an index record is a name pointer and two words");
static_assert(sizeof(PackageIndex) == sizeof(void*), "the index header is the count, aligned for the records");

namespace {

uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// Walks the header area (resource offsets 9 to D - 1) of the decoded copy.
// Every read is checked against the remaining budget, and the budget never
// reaches past D, which the caller has checked to lie inside the resource.
class HeaderCursor {
public:
    HeaderCursor(const uint8_t* copy, uint32_t dataStart)
        : at_(copy + (kPackageHeaderStart - 1)), budget_(dataStart - kPackageHeaderStart) {}

    bool ReadWord(uint32_t* value) {
        if (budget_ < 4) return false;
        *value = ReadLe32(at_);
        at_ += 4;
        budget_ -= 4;
        return true;
    }

    const char* Here() const { return reinterpret_cast<const char*>(at_); }

    // Consumes a name up to and including its NUL.
    bool SkipName() {
        for (;;) {
            if (budget_ == 0) return false;
            const uint8_t c = *at_++;
            --budget_;
            if (c == 0) return true;
        }
    }

private:
    const uint8_t* at_;
    uint32_t budget_;
};

}  // namespace

bool OpenPackageArchive(const void* bytes, uint32_t size, PackageIndex** index, uint8_t** copy) {
    if (bytes == nullptr || index == nullptr || copy == nullptr || size < kPackageHeaderStart) return false;
    const uint8_t* resource = static_cast<const uint8_t*>(bytes);
    const uint32_t copySize = size - 1;

    uint8_t* decoded = static_cast<uint8_t*>(std::malloc(copySize));
    if (decoded == nullptr) return false;

    const uint8_t key = resource[0];
    if (key == 0) {
        std::memcpy(decoded, resource + 1, copySize);
    } else {
        for (uint32_t i = 0; i < copySize; ++i) {
            decoded[i] = static_cast<uint8_t>(resource[i + 1] ^ static_cast<uint8_t>(key + i));
        }
    }

    const uint32_t count = ReadLe32(decoded);
    const uint32_t dataStart = ReadLe32(decoded + 4);
    // D below 9 or past the end cannot frame a header area inside the resource.
    if (dataStart > kPackageMaxDataStart || count > kPackageMaxEntries || dataStart < kPackageHeaderStart ||
        dataStart > size) {
        std::free(decoded);
        return false;
    }

    void* block = std::malloc(sizeof(PackageIndex) + static_cast<size_t>(count) * sizeof(PackageEntry));
    if (block == nullptr) {
        std::free(decoded);
        return false;
    }
    PackageIndex* built = new (block) PackageIndex{count};
    PackageEntry* entries = built->Entries();

    HeaderCursor cursor(decoded, dataStart);
    bool valid = true;
    for (uint32_t i = 0; valid && i < count; ++i) {
        uint32_t dataOffset = 0;
        uint32_t entrySize = 0;
        if (!cursor.ReadWord(&dataOffset) || !cursor.ReadWord(&entrySize)) {
            valid = false;
            break;
        }
        const uint32_t copyOffset = dataOffset + dataStart - 1;  // wraps in 32 bits, as specified
        const char* name = cursor.Here();
        valid = entrySize <= 0x7FFFFFFFu && copyOffset < copySize &&
                static_cast<uint64_t>(copyOffset) + entrySize <= copySize && cursor.SkipName();
        new (&entries[i]) PackageEntry{name, copyOffset, entrySize};
    }
    uint32_t magic = 0;
    if (!valid || !cursor.ReadWord(&magic) || magic != kPackageMagic) {
        std::free(block);
        std::free(decoded);
        return false;
    }

    *index = built;
    *copy = decoded;
    return true;
}

void FreePackageArchive(PackageIndex* index, uint8_t* copy) {
    std::free(index);
    std::free(copy);
}

void ReleasePackageArchive(PackageIndex*& index, uint8_t*& copy) {
    FreePackageArchive(index, copy);
    index = nullptr;
    copy = nullptr;
}

PackageArchive::~PackageArchive() { Reset(); }

PackageArchive::PackageArchive(PackageArchive&& other) noexcept
    : index_(other.index_), copy_(other.copy_), copySize_(other.copySize_) {
    other.index_ = nullptr;
    other.copy_ = nullptr;
    other.copySize_ = 0;
}

PackageArchive& PackageArchive::operator=(PackageArchive&& other) noexcept {
    if (this != &other) {
        Reset();
        index_ = other.index_;
        copy_ = other.copy_;
        copySize_ = other.copySize_;
        other.index_ = nullptr;
        other.copy_ = nullptr;
        other.copySize_ = 0;
    }
    return *this;
}

bool PackageArchive::Open(const void* bytes, uint32_t size) {
    PackageIndex* index = nullptr;
    uint8_t* copy = nullptr;
    if (!OpenPackageArchive(bytes, size, &index, &copy)) return false;
    Reset();
    index_ = index;
    copy_ = copy;
    copySize_ = size - 1;
    return true;
}

void PackageArchive::Reset() {
    ReleasePackageArchive(index_, copy_);
    copySize_ = 0;
}

void PackageArchive::Detach(PackageIndex** index, uint8_t** copy) {
    *index = index_;
    *copy = copy_;
    index_ = nullptr;
    copy_ = nullptr;
    copySize_ = 0;
}
