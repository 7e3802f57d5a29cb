// kvr_pack: writes, lists and extracts the setup's package archives.
//
//   kvr_pack pack [--key K] [--check-folders] OUT LISTFILE
//       LISTFILE holds one entry per line, in table order:
//       STORED_NAME<TAB>INPUT_PATH. A relative INPUT_PATH is taken relative to
//       the folder of LISTFILE; empty lines are skipped; a trailing CR is
//       dropped. Stored names use "\" between folder levels and hold at most
//       259 characters. The archive gets its data areas back to back in table
//       order, with the end magic ending exactly at the data start. Key 0 (plain)
//       unless --key gives 1..255. --check-folders also enforces the payload's
//       folder order: an entry in A\B only after an entry directly in A.
//       OUT is written through a temporary file and renamed, so a failure
//       leaves no partial archive (and leaves an existing OUT unchanged).
//   kvr_pack list ARCHIVE
//       Opens ARCHIVE with the setup's own reader and prints, per entry, its
//       offset in the archive file, its size and its name.
//   kvr_pack extract ARCHIVE OUTDIR
//       Writes every entry below OUTDIR; "\" in names makes sub-folders.
//   kvr_pack check ARCHIVE
//       Opens ARCHIVE with the reader and checks the folder order.
//
// Exit status: 0 on success, 1 on any error (with a message on stderr),
// 2 on a usage error.
#include "engine/portable/package_archive.h"
#include "engine/portable/package_writer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: kvr_pack pack [--key K] [--check-folders] OUT LISTFILE\n"
    "       kvr_pack list ARCHIVE\n"
    "       kvr_pack extract ARCHIVE OUTDIR\n"
    "       kvr_pack check ARCHIVE\n"
    "LISTFILE: one line per entry, STORED_NAME<TAB>INPUT_PATH, in table order.\n";

int Error(const std::string& message) {
    std::fprintf(stderr, "kvr_pack: %s\n", message.c_str());
    return kExitError;
}

int Usage(const std::string& message) {
    std::fprintf(stderr, "kvr_pack: %s\n%s", message.c_str(), kUsage);
    return kExitUsage;
}

bool ReadWholeFile(const fs::path& path, std::vector<uint8_t>* bytes, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot open " + path.string() + ": " + std::strerror(errno);
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        *error = "cannot read " + path.string();
        return false;
    }
    return true;
}

struct ListLine {
    std::string name;
    fs::path input;
};

bool ReadList(const fs::path& listFile, std::vector<ListLine>* lines, std::string* error) {
    std::ifstream in(listFile);
    if (!in) {
        *error = "cannot open list file " + listFile.string() + ": " + std::strerror(errno);
        return false;
    }
    const fs::path base = listFile.parent_path();
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (text.empty()) continue;
        const size_t tab = text.find('\t');
        const std::string where = listFile.string() + ":" + std::to_string(number) + ": ";
        if (tab == std::string::npos) {
            *error = where + "expected STORED_NAME<TAB>INPUT_PATH";
            return false;
        }
        fs::path input = text.substr(tab + 1);
        if (input.empty()) {
            *error = where + "no input path for entry \"" + text.substr(0, tab) + "\"";
            return false;
        }
        if (input.is_relative()) input = base / input;
        lines->push_back({text.substr(0, tab), input});
    }
    if (in.bad()) {
        *error = "cannot read list file " + listFile.string();
        return false;
    }
    return true;
}

// Writes bytes to path through a temporary file in the same folder and a rename.
bool WriteFileAtomically(const fs::path& path, const std::vector<uint8_t>& bytes, std::string* error) {
    fs::path temporary = path;
    temporary += ".tmp" + std::to_string(getpid());
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot create " + temporary.string() + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int savedErrno = errno;
    const bool closed = std::fclose(file) == 0;
    std::error_code ignored;
    if (!written || !closed) {
        *error = "cannot write " + temporary.string() + ": " + std::strerror(written ? errno : savedErrno);
        fs::remove(temporary, ignored);
        return false;
    }
    std::error_code renamed;
    fs::rename(temporary, path, renamed);
    if (renamed) {
        *error = "cannot rename " + temporary.string() + " to " + path.string() + ": " + renamed.message();
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

int Pack(int argc, char** argv) {
    unsigned key = 0;
    bool checkFolders = false;
    std::vector<std::string> positional;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--check-folders") {
            checkFolders = true;
        } else if (arg == "--key") {
            if (++i == argc) return Usage("--key needs a value");
            char* end = nullptr;
            errno = 0;
            const unsigned long value = std::strtoul(argv[i], &end, 0);
            if (*argv[i] == '\0' || *end != '\0' || errno != 0 || value > 255 || argv[i][0] == '-') {
                return Usage(std::string("--key must be a number from 0 to 255, not \"") + argv[i] + "\"");
            }
            key = static_cast<unsigned>(value);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage("unknown option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) return Usage("pack needs OUT and LISTFILE");
    const fs::path out = positional[0];
    std::string error;

    std::vector<ListLine> lines;
    if (!ReadList(positional[1], &lines, &error)) return Error(error);

    // Sizes first, so that every limit is checked before anything is read.
    std::vector<PackageItem> items;
    items.reserve(lines.size());
    for (const ListLine& line : lines) {
        std::error_code status;
        if (!fs::is_regular_file(line.input, status)) {
            return Error("entry \"" + line.name + "\": input " + line.input.string() + " is missing or not a file" +
                         (status ? " (" + status.message() + ")" : ""));
        }
        const uintmax_t size = fs::file_size(line.input, status);
        if (status) return Error("entry \"" + line.name + "\": cannot get the size of " + line.input.string());
        items.push_back({line.name, size});
    }
    PackageLayout layout;
    if (!PlanPackageLayout(items, &layout, &error)) return Error(error);
    if (checkFolders) {
        std::vector<std::string> names;
        for (const PackageItem& item : items) names.push_back(item.name);
        if (!CheckFolderOrder(names, &error)) return Error(error);
    }

    std::vector<PackageFile> files;
    files.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        PackageFile file{lines[i].name, {}};
        if (!ReadWholeFile(lines[i].input, &file.data, &error)) return Error("entry \"" + lines[i].name + "\": " + error);
        if (file.data.size() != items[i].size) {
            return Error("entry \"" + lines[i].name + "\": " + lines[i].input.string() + " changed while packing");
        }
        files.push_back(std::move(file));
    }
    std::vector<uint8_t> archive;
    if (!WritePackageArchive(files, static_cast<uint8_t>(key), &archive, &error)) return Error(error);

    // What the setup will see: the same reader must accept what was written.
    PackageArchive check;
    if (!check.Open(archive.data(), static_cast<uint32_t>(archive.size())) || check.Count() != files.size()) {
        return Error("internal error: the reader rejects the archive just written");
    }
    if (!WriteFileAtomically(out, archive, &error)) return Error(error);
    return 0;
}

// Reads and opens an archive file; on failure explains what the header says.
bool OpenArchiveFile(const fs::path& path, std::vector<uint8_t>* bytes, PackageArchive* archive, std::string* error) {
    if (!ReadWholeFile(path, bytes, error)) return false;
    if (bytes->size() > UINT32_MAX) {
        *error = path.string() + ": too large for a package archive (" + std::to_string(bytes->size()) + " bytes)";
        return false;
    }
    if (archive->Open(bytes->data(), static_cast<uint32_t>(bytes->size()))) return true;
    *error = path.string() + ": broken package archive, rejected by the reader (" + std::to_string(bytes->size()) +
             " bytes";
    if (bytes->size() >= kPackageHeaderStart) {
        uint8_t head[kPackageHeaderStart];
        std::memcpy(head, bytes->data(), sizeof head);
        ScramblePackageBytes(head + 1, sizeof head - 1, head[0], 1);
        auto word = [&head](int at) {
            return static_cast<uint32_t>(head[at]) | static_cast<uint32_t>(head[at + 1]) << 8 |
                   static_cast<uint32_t>(head[at + 2]) << 16 | static_cast<uint32_t>(head[at + 3]) << 24;
        };
        *error += ", key " + std::to_string(head[0]) + ", entry count " + std::to_string(word(1)) + ", data start " +
                  std::to_string(word(5));
    }
    *error += ")";
    return false;
}

int List(const fs::path& path) {
    std::vector<uint8_t> bytes;
    PackageArchive archive;
    std::string error;
    if (!OpenArchiveFile(path, &bytes, &archive, &error)) return Error(error);
    std::printf("%s: %u entries, key %u, %zu bytes\n", path.string().c_str(), archive.Count(), bytes[0], bytes.size());
    std::printf("%10s %10s  %s\n", "offset", "size", "name");
    for (uint32_t i = 0; i < archive.Count(); ++i) {
        const PackageEntry& entry = archive.Entry(i);
        // Offset in the archive file: the index counts from the copy, which starts at file offset 1.
        std::printf("%10lu %10u  %s\n", static_cast<unsigned long>(entry.dataOffset) + 1, entry.size, entry.name);
    }
    return 0;
}

// The path below outdir for a stored name, refusing anything that could leave it.
bool ExtractPath(const fs::path& outdir, const char* name, fs::path* path, std::string* error) {
    fs::path result = outdir;
    std::string level;
    for (const char* p = name;; ++p) {
        if (*p == '\\' || *p == '/' || *p == '\0') {
            if (level.empty() || level == "." || level == ".." || level.find(':') != std::string::npos) {
                *error = std::string("entry \"") + name + "\" is not a safe relative path; nothing more extracted";
                return false;
            }
            result /= level;
            level.clear();
            if (*p == '\0') break;
        } else {
            level += *p;
        }
    }
    *path = result;
    return true;
}

int Extract(const fs::path& path, const fs::path& outdir) {
    std::vector<uint8_t> bytes;
    PackageArchive archive;
    std::string error;
    if (!OpenArchiveFile(path, &bytes, &archive, &error)) return Error(error);
    for (uint32_t i = 0; i < archive.Count(); ++i) {
        const PackageEntry& entry = archive.Entry(i);
        fs::path target;
        if (!ExtractPath(outdir, entry.name, &target, &error)) return Error(error);
        std::error_code made;
        fs::create_directories(target.parent_path(), made);
        if (made) return Error("cannot create folder " + target.parent_path().string() + ": " + made.message());
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(archive.Data(entry)), entry.size);
        out.close();
        if (!out) return Error("cannot write " + target.string());
    }
    return 0;
}

int Check(const fs::path& path) {
    std::vector<uint8_t> bytes;
    PackageArchive archive;
    std::string error;
    if (!OpenArchiveFile(path, &bytes, &archive, &error)) return Error(error);
    std::vector<std::string> names;
    for (uint32_t i = 0; i < archive.Count(); ++i) names.push_back(archive.Entry(i).name);
    if (!CheckFolderOrder(names, &error)) return Error(path.string() + ": " + error);
    std::printf("%s: %u entries, folder order correct\n", path.string().c_str(), archive.Count());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage("no verb given");
    const std::string verb = argv[1];
    if (verb == "--help" || verb == "-h" || verb == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (verb == "pack") return Pack(argc - 2, argv + 2);
    if (verb == "list" && argc == 3) return List(argv[2]);
    if (verb == "extract" && argc == 4) return Extract(argv[2], argv[3]);
    if (verb == "check" && argc == 3) return Check(argv[2]);
    if (verb == "list" || verb == "extract" || verb == "check") return Usage("wrong number of arguments for " + verb);
    return Usage("unknown verb \"" + verb + "\"");
}
