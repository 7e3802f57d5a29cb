#include "engine/fresh_folder.h"

#include <cstdlib>
#include <cstring>

#include "foundation/system_library.h"

namespace {

// A name clash this many times in a row means something other than chance is at work.
constexpr int kDraws = 64;

// True when the file holds exactly `size` bytes equal to `bytes`.
bool HoldsExactly(HANDLE file, const uint8_t* bytes, uint32_t size) {
    if (GetFileSize(file, nullptr) != size) return false;
    uint8_t chunk[4096];
    for (uint32_t offset = 0; offset < size;) {
        DWORD read = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &read, nullptr) || read == 0) return false;
        if (read > size - offset || std::memcmp(chunk, bytes + offset, read) != 0) return false;
        offset += read;
    }
    return true;
}

}  // namespace

uint32_t DrawUnpredictableNumber() {
    using GenerateRandomFn = BOOLEAN(WINAPI*)(PVOID, ULONG);  // RtlGenRandom
    const auto generate = LibraryFunction<GenerateRandomFn>(GetModuleHandleA("advapi32.dll"), "SystemFunction036");
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

DWORD WriteLockedFile(const char* path, const uint8_t* bytes, uint32_t size, win::FileHandle& locked,
                      LockedFileStep* failed) {
    LockedFileStep ignored;
    LockedFileStep& step = failed != nullptr ? *failed : ignored;
    {
        step = LockedFileStep::Create;
        const win::FileHandle file(
            CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) return LastErrorOr(ERROR_CANNOT_MAKE);
        step = LockedFileStep::Write;
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes, size, &written, nullptr) || written != size)
            return LastErrorOr(ERROR_WRITE_FAULT);
    }
    // Reading leaves the file free to be run, and nobody may write to, rename or delete it.
    step = LockedFileStep::Lock;
    locked = win::FileHandle(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!locked.Valid()) return LastErrorOr(ERROR_OPEN_FAILED);
    if (HoldsExactly(locked.Get(), bytes, size)) return 0;
    locked.Reset();
    return ERROR_FILE_INVALID;
}
