/* Loaded into a program under test with LD_PRELOAD: malloc fails from the
 * (ORBEL_MALLOC_FAILS_AFTER + 1)th call on, as when memory is exhausted. */
#include <stddef.h>
#include <stdlib.h>

extern void* __libc_malloc(size_t size);

static long calls = 0;
static long limit = -1;

void* malloc(size_t size) {
  if (limit < 0) {
    const char* text = getenv("ORBEL_MALLOC_FAILS_AFTER");
    limit = text ? atol(text) : 0x7fffffffL;
  }
  if (++calls > limit) return NULL;
  return __libc_malloc(size);
}
