#include "startup/portable/command_line_rules.h"

#include <cstring>
#include <initializer_list>

#include "foundation/portable/product.h"
#include "foundation/portable/text_locale.h"

namespace {

bool StartsWithOption(const SetupString& text, const char* option) {
    const size_t n = std::strlen(option);
    return text.Length() >= n && textlocale::Equal(text.c_str(), option, n, true);
}

bool IsBlankChar(char c) { return std::strchr(kBlanks, c) != nullptr && c != '\0'; }

// The option `option` as a whole word at `text` (followed by a blank or the end).
bool IsWord(const char* text, const char* option) {
    const size_t n = std::strlen(option);
    return std::strlen(text) >= n && textlocale::Equal(text, option, n, true) && (text[n] == '\0' || IsBlankChar(text[n]));
}

// Reads one argument at `text`: a "quoted" text (without its quotes) or everything up to the next blank.
const char* ReadArgument(const char* text, SetupString& argument) {
    while (IsBlankChar(*text)) ++text;
    const char* start = text;
    if (*text == '"') {
        start = ++text;
        while (*text != '\0' && *text != '"') ++text;
        argument = SetupString(start).Left(static_cast<int>(text - start));
        return *text == '"' ? text + 1 : text;
    }
    while (*text != '\0' && !IsBlankChar(*text)) ++text;
    argument = SetupString(start).Left(static_cast<int>(text - start));
    return text;
}

void ReadTempFolder(const char* rest, CommandLineRequest& request) {
    SetupString folder(rest);
    folder.Trim(kBlanks);
    request.hasTempFolder = true;
    request.tempFolder = WithoutTrailingSeparator(folder.c_str());
}

// The options after "/silent" or "/passive"; anything else is passed over.
void ReadUnattendedOptions(const char* text, CommandLineRequest& request) {
    while (*text != '\0') {
        while (IsBlankChar(*text)) ++text;
        if (*text == '\0') break;
        if (IsWord(text, "/temp")) {
            ReadTempFolder(text + 5, request);  // takes the rest of the line, as at the start
            return;
        }
        SetupString* path = nullptr;
        if (IsWord(text, "/dir")) path = &request.installFolder;
        if (IsWord(text, "/data")) path = &request.dataFolder;
        if (IsWord(text, "/log")) path = &request.logFile;
        if (path != nullptr) {
            text = ReadArgument(text + std::strcspn(text, kBlanks), *path);
            *path = WithoutTrailingSeparator(path->c_str());
            continue;
        }
        if (IsWord(text, "/nostartmenu")) request.noStartMenuFolder = true;
        if (IsWord(text, "/desktop")) request.desktopIcon = true;
        SetupString ignored;
        text = ReadArgument(text, ignored);
    }
}

}  // namespace

CommandLineRequest InterpretCommandLine(const char* tail) {
    CommandLineRequest request;
    SetupString text(tail);
    text.Trim(kBlanks);
    for (const char* option : {"/?", "/help", "-help", "-?"}) request.showHelp |= StartsWithOption(text, option);
    if (StartsWithOption(text, "/temp")) ReadTempFolder(text.c_str() + 5, request);
    const struct {
        const char* option;
        SetupMode mode;
    } modes[] = {{"/silent", SetupMode::Silent}, {"/passive", SetupMode::Passive}};
    for (const auto& form : modes) {
        if (!IsWord(text.c_str(), form.option)) continue;
        request.mode = form.mode;
        ReadUnattendedOptions(text.c_str() + std::strlen(form.option), request);
    }
    if (IsWord(text.c_str(), "/log")) {
        ReadArgument(text.c_str() + 4, request.logFile);
        request.logFile = WithoutTrailingSeparator(request.logFile.c_str());
    }
    return request;
}

SetupString CommandLineHelpText() {
    SetupString text;
    text.Format(
        "%s Installation Routine:\n(Command line parameters)\n=======================\n\n/help - Show help "
        "window;\n/temp [PATH] - Specify temporary folder.\n"
        "/silent [OPTIONS] - Install without any window (giving it accepts the license agreement);\n"
        "/passive [OPTIONS] - Install showing only its progress, asking nothing (accepts the license agreement);\n"
        "/log PATH - Write the setup's messages to a log file.\n\n"
        "OPTIONS: /dir PATH - program folder; /data PATH - recording & data files folder; /nostartmenu - no Start "
        "Menu folder; /desktop - desktop shortcut; /log PATH - log file; /temp [PATH] - temporary folder (last, it "
        "takes the rest of the line).",
        product::kName);
    return text;
}
