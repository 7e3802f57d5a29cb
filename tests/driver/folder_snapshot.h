// What a folder holds, to tell that an installation or its rollback left it
// exactly as it was.
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>

namespace driver {

struct SnapshotItem {
    bool folder = false;
    std::string bytes;    ///< of a file
    DWORD attributes = 0; ///< of a file: only its hidden and read-only flags
    bool operator==(const SnapshotItem& other) const {
        return folder == other.folder && bytes == other.bytes && attributes == other.attributes;
    }
};
/// Everything below a folder, by its path relative to the folder.
using Snapshot = std::map<std::string, SnapshotItem>;

/// Empty when `folder` does not exist.
Snapshot SnapshotOf(const std::string& folder);
/// The entries in which two snapshots differ, one line each ("missing", "changed", "added"); empty when none.
std::string Differences(const Snapshot& before, const Snapshot& after);

/// The names that FindFirstFile gives for `pattern` (with "." and ".." for a folder's "\*").
std::set<std::string> FilesMatching(const std::string& pattern);

}  // namespace driver
