#include "wizard/portable/ready_summary.h"

SetupString ReadySummary(const InstallChoices& choices) {
    SetupString summary;
    summary.AppendFormat("The Program Location:\r\n    %s\r\n\r\n", choices.InstallFolder.c_str());
    summary.AppendFormat("Recording & Data Folder Location:\r\n    %s\r\n\r\n", choices.DataFolder.c_str());
    if (choices.CreateStartMenuFolder == 1)
        summary.AppendFormat("Create Start Menu folder:\r\n    %s\r\n\r\n", choices.StartMenuFolder.c_str());
    if (choices.DesktopIcon == 1 || choices.QuickLaunchIcon == 1) {
        summary.Append("Additional tasks:\r\n    Additional icons:\r\n");
        if (choices.DesktopIcon == 1) summary.Append("      Create a desktop icon\r\n");
        if (choices.QuickLaunchIcon == 1) summary.Append("      Create a Quick Launch icon\r\n");
    }
    return summary;
}
