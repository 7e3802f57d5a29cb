// Raw data resources of the setup's own module.
#pragma once

#include <cstdint>

struct ResourceData {
    const uint8_t* bytes = nullptr;  ///< read-only, valid for the life of the process
    uint32_t size = 0;
};

/// The RT_RCDATA resource with integer id `id`; null and 0 when it is missing or cannot be loaded.
ResourceData LoadResourceData(int id);
