#include "failing_malloc.h"

namespace {

size_t g_failingSize = 0;  // 0: none fails
int g_failures = 0;

}  // namespace

extern "C" void* __real_malloc(size_t size);

extern "C" void* __wrap_malloc(size_t size) {
    if (g_failingSize != 0 && size == g_failingSize) {
        ++g_failures;
        return nullptr;
    }
    return __real_malloc(size);
}

namespace testsupport {

FailingMalloc::FailingMalloc(size_t size) {
    g_failingSize = size;
    g_failures = 0;
}

FailingMalloc::~FailingMalloc() { g_failingSize = 0; }

int FailingMalloc::Failures() const { return g_failures; }

}  // namespace testsupport
