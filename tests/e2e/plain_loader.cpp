// Loads each library named on its command line by its bare name, the way an
// unprotected program would: the control case showing that a planted copy
// beside a program does get loaded.
#include <windows.h>

#include <sstream>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandTail, int) {
    std::istringstream names(commandTail);
    int missing = 0;
    for (std::string name; names >> name;)
        if (LoadLibraryA(name.c_str()) == nullptr) ++missing;
    return missing;
}
