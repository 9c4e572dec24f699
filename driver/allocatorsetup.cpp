// A job builds up to hundreds of megabytes of small DOM nodes and, for a large source, a few large
// strings. Every fresh 4 KiB page costs a page fault, which a virtual machine makes dear; a 2 MiB
// page (a transparent huge page, given where madvise asks for one) costs one fault for 512 of
// them. mimalloc asks for them once a batch begins: before that, Qt's start and the dialog's
// threads touch little of each page, and would fill one 2 MiB page each.

#include "allocatorsetup.h"

#include <mimalloc.h>

#include <new>

void useLargePagesForJobs()
{
    mi_option_set(mi_option_large_os_pages, 1);
}

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
