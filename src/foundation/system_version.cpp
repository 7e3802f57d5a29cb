#include "foundation/system_version.h"

namespace {

constexpr DWORD kVersionInfoSize = 148;  // OSVERSIONINFOA, the form every Windows since 95 knows
static_assert(kVersionInfoSize == sizeof(OSVERSIONINFOA), "version query size");

}  // namespace

bool QuerySystemVersion(OSVERSIONINFOA& info) {
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = kVersionInfoSize;
    return GetVersionExA(&info) != FALSE;
}
