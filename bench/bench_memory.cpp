// Freed memory is reused for the whole run. By default the C library gives every large block
// back to the system when it is freed, so each iteration that makes a page-sized temporary
// pays the system's page faults again; on some virtual machines those faults cost more than
// the work being timed. Keeping the memory measures the work alike on every side of a pair.
#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

const bool kFreedMemoryReused = [] {
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, -1);
  benchmark::AddCustomContext("freed_memory", "reused");
  return true;
}();

}  // namespace
