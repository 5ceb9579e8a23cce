// A cap on single allocations, so tests can prove that lengths read from a stream are checked before
// anything is allocated for them. Replaces the global allocation functions of the test program only.
#include "tests/StreamTestSupport.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<size_t> gLimit{SIZE_MAX};
} // namespace

namespace orv_test {
TAllocationLimit::TAllocationLimit(size_t maxBytes) : FPrevious(gLimit.exchange(maxBytes)) {}
TAllocationLimit::~TAllocationLimit() {
    gLimit.store(FPrevious);
}
} // namespace orv_test

void* operator new(size_t size) {
    if (size > gLimit.load(std::memory_order_relaxed)) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
