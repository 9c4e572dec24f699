// Where mimalloc takes the memory of a job from. Linked only into the programs that link mimalloc.
//
// A large job builds hundreds of megabytes of small DOM nodes. In 4 KiB pages, about a third of its
// time went into the first touch of fresh pages (one page fault each) and into the TLB misses of
// walking them. Measured at 10^5 entries on every bench/ shape (bench/README.md):
// - 2 MiB pages (transparent huge pages, which the kernel gives where asked by madvise) cut the
//   page faults of a job from about 108,000 to 7,600, and its CPU time by a third;
// - an arena reserved up front (address space only: nothing is touched until used) takes most of
//   the rest away.
//
// The arena is reserved before anything is allocated, and every thread's memory comes from it:
// mimalloc would otherwise map a thread's first memory on its own and commit it piece by piece in
// 4 KiB pages. The file dialog's file-information thread ends when the dialog closes, and the job
// takes over what that thread left: a job chosen in the dialog then took 8,100 page faults more
// than the same job named on the command line.
//
// 2 MiB pages come only once a batch begins. The start of Qt and the dialog's threads touch little
// of each page, and would otherwise fill one 2 MiB page each: a small batch chosen in the dialog
// peaks at about 37 MB this way, 41.5 MB with 2 MiB pages from the start.
//
// A MIMALLOC_... variable that the user sets still decides its own option, as mimalloc documents.

#include "allocatorsetup.h"

#include <mimalloc.h>
#include <sys/mman.h>

#include <cstring>

namespace {

constexpr std::size_t jobArenaBytes = 256UL * 1024 * 1024;

mi_arena_id_t jobArena = 0;
bool jobArenaReserved = false;
bool largePagesLeftToUser = false;

bool userDecides(char **environment, const char *variable)
{
    const std::size_t length = std::strlen(variable);
    for (char **entry = environment; entry != nullptr && *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, variable, length) == 0 && (*entry)[length] == '=')
            return true;
    }
    return false;
}

void setUpAllocator(int /*argc*/, char ** /*argv*/, char **environment)
{
    largePagesLeftToUser = userDecides(environment, "MIMALLOC_LARGE_OS_PAGES");
    if (userDecides(environment, "MIMALLOC_RESERVE_OS_MEMORY"))
        return;
    // Starting mimalloc here is what the first allocation would do; the arena must exist before it.
    mi_process_init();
    jobArenaReserved = mi_reserve_os_memory_ex(jobArenaBytes, /*commit=*/true, /*allow_large=*/false,
                                               /*exclusive=*/false, &jobArena) == 0;
}

// A program's pre-initialisers run before the constructors of every library, and so before the
// first allocation of the program or of Qt.
[[gnu::used, gnu::section(".preinit_array")]] void (*const allocatorSetUp)(int, char **, char **) = setUpAllocator;

} // namespace

void useLargePagesForJobs()
{
    if (largePagesLeftToUser)
        return;
    // For what the allocator maps past the arena, in jobs that outgrow it.
    mi_option_set(mi_option_large_os_pages, 1);
    std::size_t size = 0;
    void *const arena = jobArenaReserved ? mi_arena_area(jobArena, &size) : nullptr;
    if (arena != nullptr)
        madvise(arena, size, MADV_HUGEPAGE);
}
