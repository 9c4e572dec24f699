#ifndef ALLOCATORSETUP_H
#define ALLOCATORSETUP_H

// The allocator (mimalloc, linked on Linux only) gives a job its memory in 2 MiB pages once a batch
// begins, not before (allocatorsetup.cpp). Other builds keep the system's allocator, which takes no
// settings from the program.
#ifdef CONFIGGEN_MIMALLOC
void useLargePagesForJobs();
#else
inline void useLargePagesForJobs() {}
#endif

#endif
