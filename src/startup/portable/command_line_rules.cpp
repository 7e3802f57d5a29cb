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

}  // namespace

CommandLineRequest InterpretCommandLine(const char* tail) {
    CommandLineRequest request;
    SetupString text(tail);
    text.Trim(kBlanks);
    for (const char* option : {"/?", "/help", "-help", "-?"}) request.showHelp |= StartsWithOption(text, option);
    if (StartsWithOption(text, "/temp")) {
        request.hasTempFolder = true;
        SetupString rest = text.Mid(5, static_cast<int>(text.Length()));
        request.tempFolder = WithoutTrailingSeparator(rest.c_str());
    }
    return request;
}

SetupString CommandLineHelpText() {
    SetupString text;
    text.Format(
        "%s Installation Routine:\n(Command line parameters)\n=======================\n\n/help - Show help "
        "window;\n/temp [PATH] - Specify temporary folder.",
        product::kName);
    return text;
}
