#include "integration/uninstall_registration.h"

#include "foundation/portable/install_choices.h"
#include "foundation/portable/product.h"
#include "foundation/registry.h"
#include "foundation/win_handles.h"
#include "integration/portable/install_records.h"

namespace {

constexpr const char kReferrerValue[] = "Referrer";

}  // namespace

int RegisterUninstaller(HKEY root) {
    int allWritten = 1;
    for (const NamedText& value : UninstallEntryValues(g_choices.InstallFolder.c_str())) {
        RegistryRequest request(kRegistryWrite, root, product::kUninstallKey, value.name);
        request.textToWrite = value.value.c_str();
        allWritten &= RunRegistryRequest(request) ? 1 : 0;
    }
    return allWritten;
}

void RegisterAppsEntryDetails(HKEY root, uint64_t installedBytes) {
    SYSTEMTIME today;
    GetLocalTime(&today);
    for (const AppsEntryValue& value :
         AppsEntryValues(g_choices.InstallFolder.c_str(), installedBytes, today.wYear, today.wMonth, today.wDay)) {
        if (value.isNumber) {
            RegistryDwordRequest request(kRegistryWrite, root, product::kUninstallKey, value.name);
            request.numberToWrite = value.number;
            RunRegistryDwordRequest(request);
        } else {
            RegistryRequest request(kRegistryWrite, root, product::kUninstallKey, value.name);
            request.textToWrite = value.text.c_str();
            RunRegistryRequest(request);
        }
    }
}

void TakeInstallerReferrer(SetupString& first, SetupString& second, SetupString& third) {
    SetupString referrer("");
    int32_t status = 0;
    // Used once: the value goes as soon as it has been read.
    RegistryRequest request(kRegistryRead | kRegistryDelete, HKEY_CURRENT_USER, product::kInstallerKey,
                            kReferrerValue);
    request.destination = &referrer;
    request.readStatus = &status;
    RunRegistryRequest(request);
    if (status != 1) referrer = "";

    SplitReferrerFields(referrer.c_str(), first, second, third);
    first = ScrambleReferrerField(first.c_str());
    second = ScrambleReferrerField(second.c_str());
    third = ScrambleReferrerField(third.c_str());
}
