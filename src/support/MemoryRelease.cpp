#include "support/MemoryRelease.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace corvane {

void ReleaseFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace corvane
