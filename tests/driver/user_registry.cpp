#include "user_registry.h"

#include <shlwapi.h>

#include <vector>

#include "foundation/portable/product.h"

namespace driver {

namespace {

constexpr char kScratchParent[] = "Software\\Korvane Setup Tests";

}  // namespace

void ResetSetupRegistry() {
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\from Ostrevik");
    SHDeleteKeyA(HKEY_CURRENT_USER, product::kUninstallKey);
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\setup.exe");
}

void SetWineAppDefault(const char* exeName, const char* subkey, const char* name, const char* value) {
    std::string path = std::string("Software\\Wine\\AppDefaults\\") + exeName;
    if (subkey != nullptr && *subkey != '\0') path += std::string("\\") + subkey;
    SetText(path.c_str(), name, value);
}

void SetSetting(const char* name, const char* value) { SetText(product::kSettingsKey, name, value); }

std::string GetSetting(const char* name, bool* found) {
    const RegistryValue value = ReadValue(product::kSettingsKey, name);
    if (found != nullptr) *found = value.found;
    return value.text;
}

RegistryValue ReadValue(const char* key, const char* name) {
    RegistryValue value;
    win::RegKey opened;
    DWORD size = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, opened.Receive()) != ERROR_SUCCESS ||
        RegQueryValueExA(opened.Get(), name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return value;
    std::vector<BYTE> data(size + 1, 0);
    DWORD type = REG_NONE;
    if (RegQueryValueExA(opened.Get(), name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return value;
    value.found = true;
    value.type = type;
    if (type == REG_SZ) value.text = reinterpret_cast<const char*>(data.data());
    if (type == REG_DWORD && size == sizeof(DWORD)) CopyMemory(&value.number, data.data(), sizeof(DWORD));
    return value;
}

bool KeyExists(const char* key) {
    win::RegKey opened;
    return RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, opened.Receive()) == ERROR_SUCCESS;
}

bool ValueExists(const char* key, const char* name) { return ReadValue(key, name).found; }

namespace {

bool SetValue(const char* key, const char* name, DWORD type, const void* data, DWORD size) {
    win::RegKey opened;
    return RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, opened.Receive(),
                           nullptr) == ERROR_SUCCESS &&
           RegSetValueExA(opened.Get(), name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

}  // namespace

bool SetText(const char* key, const char* name, const std::string& value) {
    return SetValue(key, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

bool SetNumber(const char* key, const char* name, DWORD value) {
    return SetValue(key, name, REG_DWORD, &value, sizeof value);
}

ScratchUserRegistry::ScratchUserRegistry()
    : path_(std::string(kScratchParent) + "\\kvr-tests-" + std::to_string(GetCurrentProcessId())) {
    SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    active_ = RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key_.Receive(), nullptr) == ERROR_SUCCESS &&
              RegOverridePredefKey(HKEY_CURRENT_USER, key_.Get()) == ERROR_SUCCESS;
}

ScratchUserRegistry::~ScratchUserRegistry() {
    if (active_) RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    key_.Reset();
    SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    // Only when no other run's key is left in it.
    RegDeleteKeyA(HKEY_CURRENT_USER, kScratchParent);
}

}  // namespace driver
