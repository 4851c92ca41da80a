#include "trend/memory_reuse.h"

#include <malloc.h>

namespace qm4250 {

void ReuseFreedMemory() {
    // Blocks of a selection's size from the heap, not from mappings of their own that go back
    // when freed; and the heap's free top kept up to the size of a large selection's work.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

}  // namespace qm4250
