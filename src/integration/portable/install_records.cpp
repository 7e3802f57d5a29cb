#include "integration/portable/install_records.h"

#include <cstring>

#include "foundation/portable/product.h"
#include "integration/portable/referrer_scramble.h"

namespace {

// Quoted: Windows would otherwise try every blank in the path as the end of the program name.
SetupString QuotedProgram(const char* installFolder, const char* program) {
    SetupString quoted;
    quoted.Format("\"%s%s\"", WithTrailingSeparator(installFolder).c_str(), program);
    return quoted;
}

SetupString ProductPage() {
    SetupString page(product::kVendorBase);
    page.Append("/kvr");
    return page;
}

AppsEntryValue Text(const char* name, const SetupString& text) { return {name, false, text, 0}; }
AppsEntryValue Number(const char* name, uint32_t number) { return {name, true, SetupString(""), number}; }

}  // namespace

std::array<AppsEntryValue, 10> AppsEntryValues(const char* installFolder, uint64_t installedBytes, int year, int month,
                                               int day) {
    SetupString icon = QuotedProgram(installFolder, product::kMainExecutable);
    icon.Append(",0");
    SetupString date;
    date.Format("%04d%02d%02d", year, month, day);
    SetupString quiet = QuotedProgram(installFolder, product::kUninstaller);
    quiet.Append(" /S");
    const uint64_t kilobytes = (installedBytes + 1023) / 1024;
    return {{
        Text("DisplayIcon", icon),
        Text("InstallLocation", WithoutTrailingSeparator(installFolder)),
        Number("EstimatedSize", kilobytes > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(kilobytes)),
        Text("InstallDate", date),
        Number("VersionMajor", product::kVersionMajor),
        Number("VersionMinor", product::kVersionMinor),
        Number("NoModify", 1),
        Number("NoRepair", 1),
        Text("URLInfoAbout", ProductPage()),
        Text("QuietUninstallString", quiet),
    }};
}

std::array<NamedText, 6> UninstallEntryValues(const char* installFolder) {
    const SetupString uninstall = QuotedProgram(installFolder, product::kUninstaller);
    const SetupString helpLink = ProductPage();
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
    const SetupString text(referrer);
    const int length = static_cast<int>(text.Length());
    const int one = text.Find(kSeparator);
    const int two = one < 0 ? -1 : text.Find(kSeparator, one + 1);
    first = text.Left(one < 0 ? length : one);
    second = one < 0 ? SetupString("") : text.Mid(one + 1, (two < 0 ? length : two) - one - 1);
    third = two < 0 ? SetupString("") : text.Mid(two + 1, length - two - 1);
}

SetupString ScrambleReferrerField(const char* text) {
    const std::size_t length = std::strlen(text);
    SetupString scrambled;
    scrambled.Resize(static_cast<uint32_t>(length) + 1, 0);
    // No scrambled byte is zero, so the text ends where the scrambled bytes do.
    scrambled.Resize(static_cast<uint32_t>(ScrambleReferrerBytes(text, length, scrambled.Buffer())) + 1);
    return scrambled;
}
