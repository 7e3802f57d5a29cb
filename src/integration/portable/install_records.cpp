#include "integration/portable/install_records.h"

#include <string>

#include "foundation/portable/product.h"
#include "integration/portable/referrer_scramble.h"

std::array<NamedText, 6> UninstallEntryValues(const char* installFolder) {
    // Quoted: Windows would otherwise try every blank in the path as the end of the program name.
    SetupString uninstall;
    uninstall.Format("\"%s%s\"", WithTrailingSeparator(installFolder).c_str(), product::kUninstaller);
    SetupString helpLink(product::kVendorBase);
    helpLink.Append("/kvr");
    return {{
        {"DisplayName", SetupString(product::kName)},
        {"UninstallString", uninstall},
        {"Contact", SetupString(product::kSupportEmail)},
        {"Publisher", SetupString(product::kVendorHost)},
        {"DisplayVersion", SetupString(product::kVersion)},
        {"HelpLink", helpLink},
    }};
}

void SplitReferrerFields(const char* referrer, SetupString& first, SetupString& second, SetupString& third) {
    constexpr char kSeparator = static_cast<char>(0xFF);
    const std::string text(referrer);
    second = "";
    third = "";
    const std::size_t one = text.find(kSeparator);
    first = text.substr(0, one).c_str();
    if (one == std::string::npos) return;
    const std::string rest = text.substr(one + 1);
    const std::size_t two = rest.find(kSeparator);
    second = rest.substr(0, two).c_str();
    if (two != std::string::npos) third = rest.substr(two + 1).c_str();
}

SetupString ScrambleReferrerField(const char* text) { return SetupString(ScrambleReferrerText(text).c_str()); }
