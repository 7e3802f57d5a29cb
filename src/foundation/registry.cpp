#include "foundation/registry.h"

#include "foundation/portable/product.h"
#include "foundation/win_handles.h"

namespace {

int32_t StatusOfFailure(LONG code) { return (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) ? 0 : -1; }

// Reads a REG_SZ into `destination`; returns the read status and sets `lastError`.
int32_t ReadText(const RegistryRequest& request, int32_t& lastError) {
    win::RegKey key;
    LONG code = RegOpenKeyExA(request.root, request.subkey, 0, KEY_READ, key.Receive());
    if (code != ERROR_SUCCESS) {
        lastError = code;
        return StatusOfFailure(code);
    }
    DWORD type = 0;
    DWORD size = 0;
    code = RegQueryValueExA(key.Get(), request.valueName, nullptr, &type, nullptr, &size);
    if (code != ERROR_SUCCESS) {
        lastError = code;
        return StatusOfFailure(code);
    }
    if (type != REG_SZ || size < 1) return 0;
    // Room for the stored bytes plus a terminator of our own: stored data need not end in one.
    SetupString text;
    text.SetLength(static_cast<int>(size));
    DWORD got = size;
    if (RegQueryValueExA(key.Get(), request.valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.Buffer()),
                         &got) != ERROR_SUCCESS ||
        type != REG_SZ || got > size)
        return 0;
    text.Buffer()[got] = '\0';
    if (request.destination != nullptr) request.destination->Assign(text.c_str());
    return 1;
}

// Opens the key for writing, creating it when missing, and applies `change` to it.
template <typename Request, typename Change>
int ChangeValue(Request& request, Change change) {
    win::RegKey key;
    LONG code = RegCreateKeyExA(request.root, request.subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                key.Receive(), nullptr);
    if (code != ERROR_SUCCESS) {
        request.lastError = code;
        return 0;
    }
    code = change(key.Get());
    if (code != ERROR_SUCCESS) {
        request.lastError = code;
        return 0;
    }
    return 1;
}

}  // namespace

int RunRegistryRequest(RegistryRequest& request) {
    int32_t lastError = 0;
    if (request.flags & kRegistryRead) {
        const int32_t status = ReadText(request, lastError);
        if (request.readStatus != nullptr) *request.readStatus = status;
    }
    request.lastError = lastError;
    if (request.flags & kRegistryDelete) {
        return ChangeValue(request, [&](HKEY key) {
            const LONG code = RegDeleteValueA(key, request.valueName);
            return code == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : code;
        });
    }
    if (!(request.flags & kRegistryWrite)) return 1;
    const char* text = request.textToWrite ? request.textToWrite : "";
    return ChangeValue(request, [&](HKEY key) {
        return RegSetValueExA(key, request.valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                              static_cast<DWORD>(lstrlenA(text) + 1));
    });
}

int RunRegistryDwordRequest(RegistryDwordRequest& request) {
    int32_t lastError = 0;
    if (request.flags & kRegistryRead) {
        int32_t status = 0;
        win::RegKey key;
        LONG code = RegOpenKeyExA(request.root, request.subkey, 0, KEY_READ, key.Receive());
        if (code != ERROR_SUCCESS) {
            lastError = code;
            status = StatusOfFailure(code);
        } else {
            DWORD type = 0;
            DWORD number = 0;
            DWORD size = sizeof number;
            code = RegQueryValueExA(key.Get(), request.valueName, nullptr, &type, reinterpret_cast<BYTE*>(&number),
                                    &size);
            if (code != ERROR_SUCCESS) {
                lastError = code;
                status = StatusOfFailure(code);
            } else if (type == REG_DWORD) {
                request.numberRead = number;
                status = 1;
            }
        }
        if (request.readStatus != nullptr) *request.readStatus = status;
    }
    request.lastError = lastError;
    if (!(request.flags & kRegistryWrite)) return 1;
    const DWORD number = request.numberToWrite;
    return ChangeValue(request, [&](HKEY key) {
        return RegSetValueExA(key, request.valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                              sizeof number);
    });
}

SetupString ReadRegistryText(HKEY root, const char* subkey, const char* valueName, const char* defaultText,
                             int32_t* status) {
    SetupString result;
    int32_t readStatus = 0;
    RegistryRequest request(kRegistryRead, root, subkey, valueName);
    request.destination = &result;
    request.readStatus = &readStatus;
    RunRegistryRequest(request);
    if (readStatus != 1) result.Assign(defaultText);
    if (status != nullptr) *status = readStatus;
    return result;
}

int DeleteRegistryValue(HKEY root, const char* subkey, const char* valueName) {
    RegistryRequest request(kRegistryDelete, root, subkey, valueName);
    return RunRegistryRequest(request);
}

SetupString ReadSetting(HKEY root, const char* valueName, const char* defaultText, int32_t* status) {
    return ReadRegistryText(root, product::kSettingsKey, valueName, defaultText, status);
}

int WriteSetting(const char* valueName, const char* text, HKEY root) {
    RegistryRequest request(kRegistryWrite, root, product::kSettingsKey, valueName);
    request.textToWrite = text;
    return RunRegistryRequest(request);
}

int WriteSettingDword(const char* valueName, uint32_t number, HKEY root) {
    RegistryDwordRequest request(kRegistryWrite, root, product::kSettingsKey, valueName);
    request.numberToWrite = number;
    return RunRegistryDwordRequest(request);
}
