#pragma once
// Counting allocator for the benchmarks: the C allocation functions are
// replaced for the whole process (operator new of the C++ library calls
// malloc, so it is counted too); the work is left to the C library's own
// entry points. Include from exactly one source file of a benchmark
// executable; read g_allocations before and after the measured work.

#include <cstddef>

extern "C" {
void* __libc_malloc(std::size_t n);
void* __libc_calloc(std::size_t count, std::size_t n);
void* __libc_realloc(void* p, std::size_t n);
void __libc_free(void* p);
}

namespace {
long long g_allocations = 0;
}  // namespace

extern "C" {
void* malloc(std::size_t n) {
  ++g_allocations;
  return __libc_malloc(n);
}
void* calloc(std::size_t count, std::size_t n) {
  ++g_allocations;
  return __libc_calloc(count, n);
}
void* realloc(void* p, std::size_t n) {
  ++g_allocations;
  return __libc_realloc(p, n);
}
void free(void* p) { __libc_free(p); }
}
