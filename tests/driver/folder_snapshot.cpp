#include "folder_snapshot.h"

#include "driver.h"

namespace driver {

namespace {

// Calls `visit` with what FindFirstFile and FindNextFile give for `pattern`.
template <typename Visit>
void ForEachFound(const std::string& pattern, Visit visit) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do visit(found);
    while (FindNextFileA(search, &found));
    FindClose(search);
}

void AddToSnapshot(const std::string& folder, const std::string& relative, Snapshot& out) {
    ForEachFound(folder + "\\*", [&](const WIN32_FIND_DATAA& found) {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") return;
        const std::string path = folder + "\\" + name;
        const std::string key = relative.empty() ? name : relative + "\\" + name;
        SnapshotItem item;
        item.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (item.folder) {
            AddToSnapshot(path, key, out);
        } else {
            item.bytes = ReadFileText(path);
            item.attributes = found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
        }
        out[key] = item;
    });
}

}  // namespace

Snapshot SnapshotOf(const std::string& folder) {
    Snapshot snapshot;
    AddToSnapshot(folder, "", snapshot);
    return snapshot;
}

std::string Differences(const Snapshot& before, const Snapshot& after) {
    std::string out;
    for (const auto& [name, item] : before) {
        const auto it = after.find(name);
        if (it == after.end())
            out += "missing " + name + "\n";
        else if (!(it->second == item))
            out += "changed " + name + " (attributes " + std::to_string(item.attributes) + " -> " +
                   std::to_string(it->second.attributes) + ")\n";
    }
    for (const auto& [name, item] : after)
        if (before.count(name) == 0) out += "added " + name + "\n";
    return out;
}

std::set<std::string> FilesMatching(const std::string& pattern) {
    std::set<std::string> names;
    ForEachFound(pattern, [&](const WIN32_FIND_DATAA& found) { names.insert(found.cFileName); });
    return names;
}

}  // namespace driver
