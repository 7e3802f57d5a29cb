#include "engine/portable/package_writer.h"

#include "engine/portable/package_archive.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

namespace {

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

std::string FoldCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// The folder part of a stored name: everything before its last "\" ("" at the top level).
std::string FolderOf(const std::string& name) {
    const size_t cut = name.rfind('\\');
    return cut == std::string::npos ? std::string() : name.substr(0, cut);
}

void PutLe32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

bool Fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

}  // namespace

bool CheckPackageName(const std::string& name, std::string* error) {
    if (name.empty()) return Fail(error, "empty entry name");
    if (name.size() > kPackageMaxNameLength) {
        return Fail(error, "entry name " + Quoted(name) + " has " + std::to_string(name.size()) +
                               " characters, more than the limit of " + std::to_string(kPackageMaxNameLength));
    }
    for (const char ch : name) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '/') return Fail(error, "entry name " + Quoted(name) + " contains \"/\"; use \"\\\" between folder levels");
        if (c < 0x20 || std::strchr("<>:\"|?*", c) != nullptr) {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", c);
            return Fail(error, "entry name " + Quoted(name) + " contains the character " + code +
                                   ", which Windows does not allow in file names");
        }
    }
    size_t start = 0;
    for (;;) {
        const size_t end = std::min(name.find('\\', start), name.size());
        const std::string level = name.substr(start, end - start);
        if (level.empty() || level == "." || level == "..") {
            return Fail(error, "entry name " + Quoted(name) + " is not a plain relative path (empty, \".\" or \"..\" level)");
        }
        if (level.back() == ' ' || level.back() == '.') {
            return Fail(error, "entry name " + Quoted(name) + " has a level ending in a space or a dot, which Windows drops");
        }
        if (end == name.size()) break;
        start = end + 1;
    }
    return true;
}

bool PlanPackageLayout(const std::vector<PackageItem>& items, PackageLayout* layout, std::string* error) {
    if (items.size() > kPackageMaxEntries) {
        return Fail(error, "too many entries: " + std::to_string(items.size()) + ", the format allows at most " +
                               std::to_string(kPackageMaxEntries));
    }
    std::set<std::string> seen;
    uint64_t dataStart = kPackageHeaderStart + 4;  // headers, then the 4-byte magic
    for (const PackageItem& item : items) {
        if (!CheckPackageName(item.name, error)) return false;
        if (!seen.insert(FoldCase(item.name)).second) {
            return Fail(error, "entry name " + Quoted(item.name) + " appears twice (names are compared ignoring case)");
        }
        dataStart += 8 + item.name.size() + 1;
    }
    if (dataStart > kPackageMaxDataStart) {
        return Fail(error, "the entry table is too large: data start would be " + std::to_string(dataStart) +
                               ", past the format's limit of " + std::to_string(kPackageMaxDataStart) +
                               " (too many entries or too long names)");
    }

    std::vector<uint32_t> offsets;
    offsets.reserve(items.size());
    uint64_t dataLength = 0;
    for (const PackageItem& item : items) {
        if (item.size > 0x7FFFFFFFu) {
            return Fail(error, "entry " + Quoted(item.name) + " has " + std::to_string(item.size) +
                                   " bytes; an entry must be below 2 GiB");
        }
        offsets.push_back(static_cast<uint32_t>(dataLength));  // checked below through the total
        dataLength += item.size;
        if (dataStart + dataLength > kPackageMaxArchiveSize) {
            return Fail(error, "archive too large: with entry " + Quoted(item.name) + " it exceeds " +
                                   std::to_string(kPackageMaxArchiveSize) + " bytes");
        }
    }
    for (size_t i = 0; i < items.size(); ++i) {
        if (offsets[i] == dataLength) {
            return Fail(error, "entry " + Quoted(items[i].name) +
                                   " is empty and no data follows it; the reader rejects an entry that starts at the "
                                   "end of the archive (place it before a non-empty entry)");
        }
    }

    layout->dataStart = static_cast<uint32_t>(dataStart);
    layout->archiveSize = static_cast<uint32_t>(dataStart + dataLength);
    layout->dataOffsets = std::move(offsets);
    return true;
}

bool CheckFolderOrder(const std::vector<std::string>& names, std::string* error) {
    std::set<std::string> foldersWithFiles;  // folders that directly hold an earlier entry, case-folded
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string folder = FolderOf(names[i]);
        const std::string parent = FolderOf(folder);
        if (!parent.empty() && foldersWithFiles.count(FoldCase(parent)) == 0) {
            return Fail(error, "entry " + std::to_string(i + 1) + " " + Quoted(names[i]) + " lies in " +
                                   Quoted(folder) + ", but no earlier entry lies directly in " + Quoted(parent) +
                                   " (the installer creates only the last folder level)");
        }
        foldersWithFiles.insert(FoldCase(folder));
    }
    return true;
}

void ScramblePackageBytes(uint8_t* bytes, size_t n, uint8_t key, uint64_t offset) {
    if (key == 0) return;
    uint8_t mask = static_cast<uint8_t>(key + (offset - 1));
    for (size_t i = 0; i < n; ++i) bytes[i] ^= mask++;
}

bool WritePackageArchive(const std::vector<PackageFile>& files, uint8_t key, std::vector<uint8_t>* archive,
                         std::string* error) {
    std::vector<PackageItem> items;
    items.reserve(files.size());
    for (const PackageFile& file : files) items.push_back({file.name, file.data.size()});
    PackageLayout layout;
    if (!PlanPackageLayout(items, &layout, error)) return false;

    std::vector<uint8_t> out(layout.archiveSize);
    out[0] = key;
    PutLe32(&out[1], static_cast<uint32_t>(files.size()));
    PutLe32(&out[5], layout.dataStart);
    size_t at = kPackageHeaderStart;
    for (size_t i = 0; i < files.size(); ++i) {
        PutLe32(&out[at], layout.dataOffsets[i]);
        PutLe32(&out[at + 4], static_cast<uint32_t>(files[i].data.size()));
        at += 8;
        std::memcpy(&out[at], files[i].name.c_str(), files[i].name.size() + 1);
        at += files[i].name.size() + 1;
    }
    PutLe32(&out[at], kPackageMagic);
    for (size_t i = 0; i < files.size(); ++i) {
        if (!files[i].data.empty()) {
            std::memcpy(&out[layout.dataStart + layout.dataOffsets[i]], files[i].data.data(), files[i].data.size());
        }
    }
    ScramblePackageBytes(out.data() + 1, out.size() - 1, key, 1);
    archive->swap(out);
    return true;
}
