// Makes chosen allocations of the C allocator fail. The test programs that use
// it are linked with --wrap=malloc, which sends every malloc call of their own
// objects and static libraries through here. Portable: no Windows headers.
#pragma once

#include <cstddef>

namespace testsupport {

/// While it lives, every malloc of exactly `size` bytes fails.
class FailingMalloc {
public:
    explicit FailingMalloc(size_t size);
    FailingMalloc(const FailingMalloc&) = delete;
    FailingMalloc& operator=(const FailingMalloc&) = delete;
    ~FailingMalloc();

    /// The allocations refused so far.
    int Failures() const;
};

}  // namespace testsupport
