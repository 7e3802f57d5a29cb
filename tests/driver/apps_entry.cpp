#include "apps_entry.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "folder_snapshot.h"
#include "foundation/portable/product.h"
#include "user_registry.h"

namespace driver {

std::string AppsEntryMismatches(const std::string& program) {
    std::string mismatches;
    const auto mismatch = [&](const char* name, const std::string& got, const std::string& wanted) {
        mismatches += std::string(name) + ": " + got + ", not " + wanted + "\n";
    };
    SYSTEMTIME today;
    GetLocalTime(&today);
    char date[16];
    std::snprintf(date, sizeof date, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
    const struct {
        const char* name;
        std::string value;
    } texts[] = {
        {"DisplayIcon", "\"" + program + "\\kvr.exe\",0"},
        {"InstallLocation", program},
        {"InstallDate", date},
        {"URLInfoAbout", std::string(product::kVendorBase) + "/kvr"},
        {"QuietUninstallString", "\"" + program + "\\uninst_kvr.exe\" /S"},
    };
    for (const auto& text : texts) {
        const RegistryValue value = ReadValue(product::kUninstallKey, text.name);
        if (value.type != REG_SZ || value.text != text.value)
            mismatch(text.name, "type " + std::to_string(value.type) + " \"" + value.text + "\"", "\"" + text.value + "\"");
    }
    const struct {
        const char* name;
        DWORD value;
    } numbers[] = {{"VersionMajor", 1}, {"VersionMinor", 2}, {"NoModify", 1}, {"NoRepair", 1}};
    for (const auto& number : numbers) {
        const RegistryValue value = ReadValue(product::kUninstallKey, number.name);
        if (value.type != REG_DWORD || value.number != number.value)
            mismatch(number.name, "type " + std::to_string(value.type) + " " + std::to_string(value.number),
                     std::to_string(number.value));
    }
    long long written = 0;
    for (const auto& [name, item] : SnapshotOf(program)) written += item.folder ? 0 : static_cast<long long>(item.bytes.size());
    const RegistryValue size = ReadValue(product::kUninstallKey, "EstimatedSize");
    if (size.type != REG_DWORD || std::llabs(static_cast<long long>(size.number) * 1024 - written) >= 1024)
        mismatch("EstimatedSize", "type " + std::to_string(size.type) + " " + std::to_string(size.number) + " KB",
                 "the " + std::to_string(written) + " bytes of the installed files");
    return mismatches;
}

}  // namespace driver
