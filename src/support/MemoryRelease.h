#pragma once

namespace corvane {

// Hands memory that the program has freed back to the system. The C library keeps freed
// memory for reuse; after a large panel definition has been read, that is tens of megabytes
// that the running panel never needs again.
void ReleaseFreedMemory();

} // namespace corvane
