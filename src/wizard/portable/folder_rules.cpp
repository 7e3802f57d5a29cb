#include "wizard/portable/folder_rules.h"

#include <cstring>

#include "foundation/portable/install_choices.h"
#include "foundation/portable/product.h"
#include "foundation/portable/text_locale.h"

namespace {

constexpr int kMaxPathText = 259;
constexpr const char kUseBrowse[] = "If you're not sure how to write a path, use Browse button...";

// GetDriveTypeA's answers.
enum DriveType {
    kDriveUnknown = 0,
    kDriveNoRootFolder = 1,
    kDriveRemovable = 2,
    kDriveFixed = 3,
    kDriveRemote = 4,
    kDriveCdRom = 5,
    kDriveRamDisk = 6,
};

FolderVerdict Stop(const SetupString& message) { return {FolderBox::Stop, message}; }

// The verdict on a drive that is not a fixed local disk; None for a fixed one.
FolderVerdict JudgeDrive(int driveType) {
    SetupString message;
    switch (driveType) {
    case kDriveFixed:
        return {};
    case kDriveUnknown:
        message.Format("ERROR: Specified path is not recognized...\n(A path should start with a drive letter followed "
                       "by the colon and slash.)\n\n%s",
                       kUseBrowse);
        return Stop(message);
    case kDriveRemovable:
    case kDriveCdRom:
        return Stop("ERROR: You have selected a non-fixed drive.\n\nPlease select a folder on a fixed disk on your "
                    "local computer...");
    case kDriveNoRootFolder:
        message.Format("ERROR: %s\n%s", "Specified invalid root path.", kUseBrowse);
        return Stop(message);
    case kDriveRemote:
        message.Format("ERROR: %s\n%s", "Specified network drive that cannot be used.", kUseBrowse);
        return Stop(message);
    case kDriveRamDisk:
        message.Format("ERROR: %s\n%s", "Specified RAM disc drive that cannot be used.", kUseBrowse);
        return Stop(message);
    default:
        message.Format("ERROR: %s\n%s", "Unspecified. Can't proceed.", kUseBrowse);
        return Stop(message);
    }
}

}  // namespace

bool HasValidPathCharacters(const char* text) {
    int colons = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (std::strchr("*?\"<>|", *c) != nullptr) return false;
        if (*c == ':' && ++colons > 1) return false;
    }
    return true;
}

SetupString DriveRootOfPath(const char* path) {
    SetupString first(path);
    if (first.Length() > kMaxPathText) first = first.Left(kMaxPathText);
    for (uint32_t i = 0; i < first.Length(); ++i) {
        const char c = first.CharAt(i);
        if (c == '\\' || c == '/') {
            first = first.Left(static_cast<int>(i));
            break;
        }
    }
    if (first.Empty() || first.CharAt(first.Length() - 1) != ':') return SetupString();
    first.Append("\\");
    return first;
}

FolderVerdict JudgeFolderPath(const FolderCheck& check, WritableProbe probeWritable) {
    SetupString message;
    if (SetupString(check.text).IsBlank(kNothingEntered)) {
        message.Format("Please specify %s...", check.folderPhrase);
        return Stop(message);
    }
    if (!HasValidPathCharacters(check.text)) {
        message.Format("ERROR: Specified %s is not valid.\n\n%s", check.pathPhrase, kUseBrowse);
        return Stop(message);
    }
    FolderVerdict drive = JudgeDrive(check.driveType);
    if (drive.box != FolderBox::None) return drive;
    if (probeWritable()) return {};
    const int bothRights = kMachineRegistryWritable | kProgramFilesWritable;
    if (check.ntFamilySystem == 0 || (check.machineWriteAccess & bothRights) == bothRights)
        return Stop("ERROR: Can't write to the specified folder.\nPlease specify another location...");
    return {FolderBox::ResetOffer,
            "ERROR: Current user account does not have permissions to write into specified folder.\nWould you like "
            "to reset the folder to a suggested writable one?"};
}

SetupString StartMenuNameOfPick(const char* startMenu, const char* picked) {
    const SetupString root = WithTrailingSeparator(startMenu);
    const SetupString pick(picked);
    const uint32_t shorter = root.Length() < pick.Length() ? root.Length() : pick.Length();
    uint32_t common = 0;
    while (common < shorter && textlocale::Equal(root.c_str() + common, pick.c_str() + common, 1, true)) ++common;
    SetupString name = WithTrailingSeparator(pick.c_str() + common);
    name.Append(product::kName);
    return name;
}
