#include "platform/linux/FreedMemory.h"

#include <malloc.h>

namespace vantorel {

void FreedMemory::release() {
#ifdef __GLIBC__
    ::malloc_trim(0);
#endif
}

}  // namespace vantorel
