#include "foundation/resource_data.h"

#include <windows.h>

#include "foundation/globals.h"

ResourceData LoadResourceData(int id) {
    HMODULE module = g_setup.instance != nullptr ? static_cast<HMODULE>(g_setup.instance) : GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (found == nullptr) return ResourceData();
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return ResourceData();
    return ResourceData{static_cast<const uint8_t*>(bytes), SizeofResource(module, found)};
}
