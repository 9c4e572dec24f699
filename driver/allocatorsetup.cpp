// A job builds up to hundreds of megabytes of small DOM nodes and, for a large source, a few large
// strings. Every fresh 4 KiB page costs a page fault, which a virtual machine makes dear; a 2 MiB
// page (a transparent huge page, given where madvise asks for one) costs one fault for 512 of them.
// mimalloc asks for 2 MiB pages only for what it maps in whole 2 MiB units, which neither a
// thread's first memory nor a large string is. So all of the program's memory comes from one arena,
// reserved before the first allocation, and the arena gets 2 MiB pages once a batch begins: before
// that, Qt's start and the dialog's threads touch little of each page, and would fill one 2 MiB page
// each. The arena is address space only until it is touched.

#include "allocatorsetup.h"

#include <mimalloc.h>
#include <sys/mman.h>

#include <new>

namespace {

constexpr std::size_t jobArenaBytes = std::size_t(256) << 20;

mi_arena_id_t jobArena = 0;

void reserveJobArena()
{
    mi_process_init(); // what the first allocation would do; the arena must exist before it
    mi_reserve_os_memory_ex(jobArenaBytes, /*commit=*/true, /*allow_large=*/false, /*exclusive=*/false, &jobArena);
}

// A program's pre-initialisers run before the constructors of every library, and so before the
// first allocation of the program or of Qt.
[[gnu::used, gnu::section(".preinit_array")]] void (*const jobArenaReservation)() = reserveJobArena;

} // namespace

void useLargePagesForJobs()
{
    mi_option_set(mi_option_large_os_pages, 1); // for what a job maps beyond the arena
    std::size_t size = 0;
    if (void *const arena = mi_arena_area(jobArena, &size))
        madvise(arena, size, MADV_HUGEPAGE);
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
