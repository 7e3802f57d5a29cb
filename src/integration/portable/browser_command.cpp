#include "integration/portable/browser_command.h"

#include <cstring>

#include "foundation/portable/product.h"
#include "foundation/portable/text_locale.h"

SetupString BrowserProgramFromCommand(const SetupString& command) {
    const int firstQuote = command.Find('"');
    const int lastQuote = command.ReverseFind('"');
    if (firstQuote >= 0) {
        if (lastQuote == firstQuote) return command;
        return command.Mid(firstQuote + 1, lastQuote - firstQuote - 1);
    }
    const int lastBackslash = command.ReverseFind('\\');
    if (lastBackslash > 0) {
        const int space = command.Find(' ', lastBackslash);
        if (space > 0) return command.Left(space);
    }
    return command;
}

bool IsMailtoAddress(const char* address) {
    static const char kMailto[] = "mailto:";
    size_t n = std::strlen(address);
    if (n > 7) n = 7;
    return textlocale::Equal(address, kMailto, n, true);
}

SetupString BrowserArgument(const char* address) {
    SetupString argument("\"");
    argument.Append(address);
    argument.AppendChar('"');
    return argument;
}

SetupString VendorPageAddress(const char* page) {
    SetupString address(product::kVendorBase);
    address.Append("/php/");
    address.Append(page);
    return address;
}
