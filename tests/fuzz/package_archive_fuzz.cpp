// libFuzzer target for the package archive reader. Built and run by
// scripts/fuzz.sh with ASan and UBSan. Beyond "no crash, no bad read" it
// checks what the reader promises: outputs untouched on failure; on success
// every name and data range inside the copy; and that the writer, given the
// entries read, makes an archive that reads back to the same entries.
#include "engine/portable/package_archive.h"
#include "engine/portable/package_writer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "package_archive_fuzz: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    PackageIndex* const indexSentinel = reinterpret_cast<PackageIndex*>(uintptr_t{0x10});
    uint8_t* const copySentinel = reinterpret_cast<uint8_t*>(uintptr_t{0x20});
    PackageIndex* index = indexSentinel;
    uint8_t* copy = copySentinel;
    // A private buffer of exactly `size` bytes, so that ASan sees any read past it.
    std::vector<uint8_t> bytes(data, data + size);
    const std::vector<uint8_t> before = bytes;
    const bool opened = OpenPackageArchive(size ? bytes.data() : data, static_cast<uint32_t>(size), &index, &copy);
    Check(bytes == before, "the reader wrote to the resource");
    if (!opened) {
        Check(index == indexSentinel && copy == copySentinel, "outputs changed on failure");
        return 0;
    }

    const uint32_t copySize = static_cast<uint32_t>(size - 1);
    std::vector<PackageFile> files;
    unsigned checksum = 0;
    for (uint32_t i = 0; i < index->count; ++i) {
        const PackageEntry& e = index->Entries()[i];
        const char* base = reinterpret_cast<const char*>(copy);
        Check(e.name >= base + 8 && e.name < base + copySize, "name outside the copy");
        const size_t room = static_cast<size_t>(base + copySize - e.name);
        Check(std::memchr(e.name, 0, room) != nullptr, "name not terminated inside the copy");
        Check(e.dataOffset < copySize && uint64_t{e.dataOffset} + e.size <= copySize, "data outside the copy");
        for (uint32_t j = 0; j < e.size; ++j) checksum += copy[e.dataOffset + j];
        files.push_back({e.name, std::vector<uint8_t>(copy + e.dataOffset, copy + e.dataOffset + e.size)});
    }
    (void)checksum;

    // Whatever the writer accepts of these entries must read back the same.
    std::vector<uint8_t> rewritten;
    std::string error;
    if (WritePackageArchive(files, bytes[0], &rewritten, &error)) {
        PackageArchive again;
        Check(again.Open(rewritten.data(), static_cast<uint32_t>(rewritten.size())), "reader rejects the writer's archive");
        Check(again.Count() == files.size(), "entry count changed in the round trip");
        for (uint32_t i = 0; i < again.Count(); ++i) {
            const PackageEntry& e = again.Entry(i);
            Check(files[i].name == e.name, "name changed in the round trip");
            Check(files[i].data.size() == e.size &&
                      (e.size == 0 || std::memcmp(files[i].data.data(), again.Data(e), e.size) == 0),
                  "data changed in the round trip");
        }
    }
    FreePackageArchive(index, copy);
    return 0;
}
