#include "startup/command_line.h"

#include "foundation/message_box.h"
#include "foundation/portable/install_choices.h"

int ParseCommandLine(const char* tail) {
    CommandLineRequest request = InterpretCommandLine(tail);
    if (request.showHelp) SetupMessageBox(CommandLineHelpText().c_str(), kBoxInformation, nullptr);
    if (request.hasTempFolder) g_choices.TempFolder = request.tempFolder;
    return request.showHelp ? 1 : 0;
}
