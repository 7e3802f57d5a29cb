// Fixed facts shared by the setup and the programs it installs. Portable.
#pragma once

namespace product {

constexpr const char kName[] = "Korvane";
constexpr const char kVersion[] = "1.2.3";
constexpr unsigned kVersionMajor = 1;
constexpr unsigned kVersionMinor = 2;
constexpr const char kSetupCaption[] = "Korvane 1.2.3 - Setup";

constexpr const char kSettingsKey[] = "Software\\from Ostrevik\\Korvane & Scheduler\\Settings";
constexpr const char kInstallerKey[] = "Software\\from Ostrevik\\Installer";
constexpr const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Korvane";

constexpr const char kMainExecutable[] = "kvr.exe";
constexpr const char kUninstaller[] = "uninst_kvr.exe";
constexpr const char kManualPage[] = "Manual\\index.htm";
constexpr const char kQuickSetupPage[] = "Quick Setup\\index.htm";

constexpr const char kSetupMutex[] = "KVR_Mtx_19222";
/// Registered window message that asks every running copy of the application to close.
constexpr const char kCloseMessage[] = "KVR_CloseImmediately";
/// Class name of the application's top-level window.
constexpr const char kMainWindowClass[] = "KorvaneRecorderMainWnd";
/// Class name of the scheduler helper's (kvrsched.exe) top-level window.
constexpr const char kSchedulerWindowClass[] = "KorvaneSchedulerWnd";
/// Class name of the uninstaller's hidden window while it asks or tells before the removal.
constexpr const char kUninstallerWindowClass[] = "KorvaneUninstallerWnd";
/// The windows of every program of the package that stays open: each closes on the close message, and the setup
/// and the uninstaller wait until none is left, since a running program holds its file.
constexpr const char* const kProgramWindowClasses[] = {kMainWindowClass, kSchedulerWindowClass,
                                                       kUninstallerWindowClass};

// The vendor's web site.
constexpr const char kVendorBase[] = "https://www.ostrevik-audio.example";
constexpr const char kVendorHost[] = "www.ostrevik-audio.example";
constexpr const char kSupportEmail[] = "support@ostrevik-audio.example";
constexpr const char kFeedbackPage[] = "dwnld_fdbk.php?what=glitch&name=KVR&ver=1.2.3";
constexpr const char kDownloadPage[] = "download.php?what=kvr";

// Rolling XOR of the referrer fields "rf1".."rf3": the key starts at kStart, grows by
// one per byte and restarts at kRestart when it reaches kBound.
namespace referrer {
constexpr unsigned char kStart = 9;
constexpr unsigned char kBound = 29;
constexpr unsigned char kRestart = 3;
static_assert(kRestart < kStart && kStart < kBound && kBound < 32, "key bytes must stay below 32");
}  // namespace referrer

}  // namespace product
