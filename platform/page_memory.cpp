// Allocator settings for page-sized images (glibc's mallopt).
#include "platform/page_memory.h"

#include <malloc.h>

void KeepPageMemoryMapped() {
  // Blocks up to 256 MiB come from the heap and stay there when freed (up to 1 GiB of free
  // heap is kept), so the next image of the same size reuses pages already mapped.
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
}
