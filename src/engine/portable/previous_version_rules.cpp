#include "engine/portable/previous_version_rules.h"

bool IsRemovableVersion(const char* installed, int readStatus) {
    if (readStatus == 0) return false;
    SetupString version(installed);
    SetupString reference(kRemovableVersion);
    KeepVersionChars(version);
    KeepVersionChars(reference);
    return version.CompareVersion(reference.c_str()) >= 0;
}
