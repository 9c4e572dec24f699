// Only the Linux program links mimalloc (CMakeLists.txt); other builds keep the system's allocator.

#include <mimalloc.h>

#include <new>

// mimalloc's own operator new ends the process when memory runs out (its C code never finds the
// program's new handler), where the standard's throws std::bad_alloc, which fails the one source
// whose job ran out instead of the whole batch. mimalloc's operator delete frees what these give.
void *operator new(std::size_t size)
{
    if (void *const memory = mi_malloc(size))
        return memory;
    throw std::bad_alloc();
}

void *operator new[](std::size_t size)
{
    return operator new(size);
}
