#pragma once

#include <cstdint> // std::uint64_t

// Whether this build counts heap allocations. Counting replaces the C library's malloc, calloc
// and realloc, which needs glibc and no sanitizer allocator.
bool heapAllocationsCounted();

// Calls to malloc, calloc and realloc so far, made by any code in the process: operator new and
// Qt's containers included, as both allocate through malloc. Always 0 when not counted.
std::uint64_t heapAllocationCalls();
