#include <windows.h>

#include <new>

#include "foundation/message_box.h"
#include "foundation/system_library.h"
#include "startup/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int) {
    RestrictDllSearchToSystem();
    try {
        return RunSetup(instance, commandTail);
    } catch (int) {
        // The text type ran out of memory (or was handed a bad position) outside the unpacking step.
    } catch (const std::bad_alloc&) {
    }
    SetupMessageBox("ERROR: Not enough memory to continue the installation.", kBoxError, nullptr);
    return 0;
}
