// What the Apps list (Add/Remove Programs) reads from the uninstall entry beyond its first six values.
#pragma once

#include <string>

namespace driver {

/// The values of the uninstall entry that the Apps list shows, checked against an installation in `program`
/// made today: icon, location, size (within 1 KB of the files in `program`), date, version, no modify or
/// repair, product page and the silent uninstaller, each with its type. "" when all hold, else one line per
/// value that does not.
std::string AppsEntryMismatches(const std::string& program);

}  // namespace driver
