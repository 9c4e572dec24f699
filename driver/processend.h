#ifndef PROCESSEND_H
#define PROCESSEND_H

#include <cstdlib>

// The statuses the tool ends with; scripts that run it tell them apart.
enum ExitStatus {
    ExitSucceeded = EXIT_SUCCESS, // every named source was written, or the batches ended normally
    ExitNothingDone = EXIT_FAILURE, // no template, no USERNAME, a usage error, no display
    ExitSomeSourcesFailed = 2, // the batch ran, but at least one named source was not written
};

// Ends the process with `status`. On Windows, a failing run whose console window is its own (it
// was started from Explorer, not from a command prompt) first waits for Enter, so that the window
// does not close before its last lines have been read.
[[noreturn]] void endProcess(ExitStatus status);

#endif
