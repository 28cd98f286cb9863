#include "bench/heapcounter.h"

#include <atomic>  // std::atomic
#include <cstddef> // std::size_t

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define RIGID2D_BENCH_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) ||                         \
    __has_feature(memory_sanitizer)
#define RIGID2D_BENCH_SANITIZED 1
#endif
#endif

#if defined(__GLIBC__) && !defined(RIGID2D_BENCH_SANITIZED)
#define RIGID2D_BENCH_COUNTS_HEAP 1
#endif

namespace {

// Relaxed: only the total matters, and it is read on the thread that steps the scenes.
std::atomic<std::uint64_t> allocationCalls{0};

} // namespace

bool heapAllocationsCounted() {
#ifdef RIGID2D_BENCH_COUNTS_HEAP
    return true;
#else
    return false;
#endif
}

std::uint64_t heapAllocationCalls() {
    return allocationCalls.load(std::memory_order_relaxed);
}

#ifdef RIGID2D_BENCH_COUNTS_HEAP
// Defined in the executable, these take the place of glibc's for every library of the process
// and hand the work to glibc's own allocator, whose free() needs no replacement.
extern "C" {

void *__libc_malloc(std::size_t size);
void *__libc_calloc(std::size_t count, std::size_t size);
void *__libc_realloc(void *block, std::size_t size);

void *malloc(std::size_t size) noexcept {
    allocationCalls.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

void *calloc(std::size_t count, std::size_t size) noexcept {
    allocationCalls.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

void *realloc(void *block, std::size_t size) noexcept {
    allocationCalls.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(block, size);
}

} // extern "C"
#endif
