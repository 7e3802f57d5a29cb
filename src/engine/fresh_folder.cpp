#include "engine/fresh_folder.h"

#include <cstdlib>

namespace {

// A name clash this many times in a row means something other than chance is at work.
constexpr int kDraws = 64;

}  // namespace

uint32_t DrawUnpredictableNumber() {
    using GenerateRandomFn = BOOLEAN(WINAPI*)(PVOID, ULONG);  // RtlGenRandom
    const HMODULE advapi = GetModuleHandleA("advapi32.dll");
    const auto generate = advapi == nullptr ? nullptr
                                            : reinterpret_cast<GenerateRandomFn>(reinterpret_cast<void*>(
                                                  GetProcAddress(advapi, "SystemFunction036")));
    uint32_t number = 0;
    if (generate != nullptr && generate(&number, sizeof number)) return number;
    return (static_cast<uint32_t>(std::rand()) << 16) ^ static_cast<uint32_t>(std::rand());
}

DWORD CreateFreshFolder(const SetupString& parent, SetupString (*name)(uint32_t), SetupString& created) {
    for (int draw = 0; draw < kDraws; ++draw) {
        SetupString folder = Concat(parent, name(DrawUnpredictableNumber()).c_str());
        if (CreateDirectoryA(folder.c_str(), nullptr)) {
            created = WithTrailingSeparator(folder.c_str());
            return 0;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS) return error != 0 ? error : ERROR_CANNOT_MAKE;
    }
    return ERROR_ALREADY_EXISTS;
}
