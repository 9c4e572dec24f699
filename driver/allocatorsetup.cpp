// Settings of the allocator (mimalloc) that the program makes for itself, before the allocator
// starts. Linked only into the programs that link mimalloc.
//
// A large job builds hundreds of megabytes of small DOM nodes, and with 4 KiB pages about a third
// of its time went into the first touch of fresh pages (one page fault each) and into the TLB
// misses of walking them. Measured at 10^5 entries on every bench/ shape (bench/README.md):
// - large OS pages (2 MiB, transparent huge pages where the kernel offers them by madvise) cut the
//   page faults of a job from about 108,000 to 7,600 and its CPU time by a third;
// - an arena reserved up front (address space only: nothing is touched until used) takes most of
//   the rest away (to about 500);
// - the peak resident memory of a job stays within 2% of what it was; a run with the file dialog
//   and one small source grows by about 5 MB (2 MiB pages filled at once), to about 42 MB.
// mimalloc's eager-commit delay stays as it is. Once a process has a second thread (the file
// dialog starts several), it commits some segments lazily, in small pages: a job after the
// dialog then takes about a third longer than the same job without it (10,100 page faults
// against 770). Without the delay it does not, but the dialog's threads then fill a 2 MiB page
// each: start-up took 0.25 s instead of 0.21 s and 47 MB instead of 42 MB, which every run pays.
// Ending the delay only when the job begins did not help. Keeping freed memory committed changed
// nothing measurable.
// A MIMALLOC_... variable that the user sets still decides its own option, as mimalloc documents.

#include <mimalloc.h>

#include <cstring>

namespace {

constexpr long reservedArenaKibibytes = 256L * 1024;

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
    if (!userDecides(environment, "MIMALLOC_LARGE_OS_PAGES"))
        mi_option_set(mi_option_large_os_pages, 1);
    if (!userDecides(environment, "MIMALLOC_RESERVE_OS_MEMORY"))
        mi_option_set(mi_option_reserve_os_memory, reservedArenaKibibytes);
}

// mimalloc reads its options, and reserves its arena, once, when it starts: before the constructors
// of the program and of Qt. A program's pre-initialisers run before those of every library.
[[gnu::used, gnu::section(".preinit_array")]] void (*const allocatorSetUp)(int, char **, char **) = setUpAllocator;

} // namespace
