// kvr.exe: the Korvane recorder. This build shows the configuration that the
// setup left in the Settings key and closes when the setup asks it to.
#include <windows.h>

#include <string>

#include "common/payload_common.h"
#include "common/text_window.h"
#include "foundation/portable/product.h"
#include "foundation/system_library.h"
#include "kvrcore/kvrcore.h"

namespace {

std::string FormatText(HKEY key, const char* rate_name, const char* bits_name, const char* channels_name) {
    DWORD rate = 0, bits = 0, channels = 0;
    payload::ReadDword(key, rate_name, rate);
    payload::ReadDword(key, bits_name, bits);
    payload::ReadDword(key, channels_name, channels);
    char text[128];
    KvrDescribeFormat(rate, bits, channels, text, sizeof text);
    return text;
}

std::string ReferrerText(HKEY key, const char* name) {
    std::string stored;
    payload::ReadString(key, name, stored);
    std::string text(KvrReadReferrerField(stored.c_str(), nullptr, 0) + 1, '\0');
    KvrReadReferrerField(stored.c_str(), &text[0], static_cast<int>(text.size()));
    text.pop_back();
    return text;
}

// The configuration as the user sees it, one "name: value" per line.
std::string DescribeSettings() {
    win::RegKey key = payload::OpenUserKey(product::kSettingsKey, KEY_READ);
    if (!key) return "Korvane is not configured for this user: run the setup again.\r\n";
    auto string_value = [&key](const char* name) {
        std::string value;
        return payload::ReadString(key.Get(), name, value) ? value : std::string("(not set)");
    };
    std::string text;
    text += "Version: " + string_value("ver") + "\r\n";
    text += "Program folder: " + string_value("InstallFolder") + "\r\n";
    text += "Data folder: " + string_value("SetupSchdRcFldr") + "\r\n";
    text += "Playback folder: " + string_value("SetupPlbkRcFldr") + "\r\n";
    text +=
        "Recording format: " + FormatText(key.Get(), "SetupSchdRcSmRt", "SetupSchdRcSmSz", "SetupSchdRcChn") + "\r\n";
    text += "Sound input format: " + FormatText(key.Get(), "SetupWISmpRt", "SetupWISmpSz", "SetupWIChnls") + "\r\n";
    for (const char* name : {"rf1", "rf2", "rf3"})
        text += std::string("Referrer ") + name + ": " + ReferrerText(key.Get(), name) + "\r\n";
    text += std::string("Library: kvrcore ") + KvrCoreVersion() + "\r\n";
    return text;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    RestrictDllSearchToSystem();
    const std::string title = std::string(product::kName) + " " + product::kVersion + " - Recorder & Scheduler";
    return payload::RunTextWindow(instance, product::kMainWindowClass, title, DescribeSettings(), show, 560, 320);
}
