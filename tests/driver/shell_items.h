// The shell's side of an installation: the user's special folders and shell links.
#pragma once

#include <string>

namespace driver {

/// The path of a special folder (CSIDL_..., with CSIDL_FLAG_CREATE to make it when missing), without a
/// trailing separator; empty when there is none.
std::string SpecialFolder(int csidl);
/// The target of a shell link as the shell reads it back, or a text in angle brackets saying why there is none.
std::string LinkTarget(const std::string& link);
/// Makes a shell link to `target` as the setup does, with the folders it lies in; true once the file is there.
bool CreateLink(const std::string& link, const std::string& target);

}  // namespace driver
