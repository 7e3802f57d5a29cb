// The current user's registry as the tests lay it out and read it back: the
// setup's keys, Wine's per-program settings, and a scratch key that stands in
// for the whole of HKEY_CURRENT_USER.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/win_handles.h"

namespace driver {

/// Removes what the setup and earlier tests left in the registry: the vendor's keys,
/// the uninstall entry and Wine's per-program settings for setup.exe.
void ResetSetupRegistry();
/// Wine's per-program settings for `exeName` (AppDefaults): Version, DllOverrides...
void SetWineAppDefault(const char* exeName, const char* subkey, const char* name, const char* value);

/// Writes a text value under HKCU\Software\from Ostrevik\Korvane & Scheduler\Settings.
void SetSetting(const char* name, const char* value);
/// Reads a text value of the Settings key; `found` tells whether it exists.
std::string GetSetting(const char* name, bool* found = nullptr);

struct RegistryValue {
    bool found = false;
    DWORD type = REG_NONE;  ///< REG_NONE when the value is absent
    std::string text;       ///< of a REG_SZ value
    DWORD number = 0;       ///< of a REG_DWORD value
};
/// A value of `key` below HKEY_CURRENT_USER (`name` null: its default value).
RegistryValue ReadValue(const char* key, const char* name);
bool KeyExists(const char* key);
bool ValueExists(const char* key, const char* name);
/// Write a REG_SZ or REG_DWORD value, making the key path; false when that fails.
bool SetText(const char* key, const char* name, const std::string& value);
bool SetNumber(const char* key, const char* name, DWORD value);

/// While it lives, HKEY_CURRENT_USER of this process is a fresh key below the real one
/// (Software\Korvane Setup Tests\kvr-tests-<process id>), removed again at the end; other
/// processes still see the real one.
class ScratchUserRegistry {
public:
    ScratchUserRegistry();
    ScratchUserRegistry(const ScratchUserRegistry&) = delete;
    ScratchUserRegistry& operator=(const ScratchUserRegistry&) = delete;
    ~ScratchUserRegistry();

    /// False when the key could not be made or put in place.
    bool Active() const { return active_; }
    /// Its path below the real HKEY_CURRENT_USER.
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    win::RegKey key_;
    bool active_ = false;
};

}  // namespace driver
