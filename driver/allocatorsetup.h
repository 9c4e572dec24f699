#ifndef ALLOCATORSETUP_H
#define ALLOCATORSETUP_H

// Where a job's memory comes from (allocatorsetup.cpp). Only the Linux program links mimalloc;
// other builds keep the system's allocator, which takes no settings from the program.
#ifdef CONFIGGEN_MIMALLOC
void useLargePagesForJobs();
#else
inline void useLargePagesForJobs() {}
#endif

#endif
