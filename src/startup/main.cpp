#include <windows.h>

#include <new>

#include "foundation/message_box.h"
#include "foundation/system_library.h"
#include "startup/startup.h"

namespace {

// A build for the tests of systems that cannot restrict the DLL search (Windows 2000, XP, Vista and 7 without
// the security update) acts as one of them.
#ifdef KVR_AS_OLD_DLL_SEARCH
constexpr DllSearch kDllSearch = DllSearch::AsOldSystem;
#else
constexpr DllSearch kDllSearch = DllSearch::Best;
#endif

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int) {
    RestrictDllSearchToSystem(kDllSearch);
    try {
        return RunSetup(instance, commandTail);
    } catch (int) {
        // The text type ran out of memory (or was handed a bad position) outside the unpacking step.
    } catch (const std::bad_alloc&) {
    }
    SetupMessageBox("ERROR: Not enough memory to continue the installation.", kBoxError, nullptr);
    return 0;
}
