#ifndef PROCESSEND_H
#define PROCESSEND_H

#include <cstdlib>

// The statuses the tool ends with; scripts that run it tell them apart.
enum ExitStatus {
    ExitSucceeded = EXIT_SUCCESS, // every named source was written, or the batches ended normally
    ExitNothingDone = EXIT_FAILURE, // no template, no USERNAME, a usage error, the dialog cannot start
    ExitSomeSourcesFailed = 2, // the batch ran, but at least one named source was not written
};

// Without sources named, a person chooses them in the dialog and reads the console: call this then.
void expectAPersonAtTheConsole();

// Ends the process with `status`. On Windows, a failing run of the dialog whose console window is
// its own and visible (double-clicked in Explorer) first waits for Enter, so that the window does
// not close before its last lines have been read. Programs, scheduled tasks and hooks name their
// sources, start the tool without a window or read its output: it never waits for them.
[[noreturn]] void endProcess(ExitStatus status);

// The same without any clean-up, for a process that Qt has left half-made.
[[noreturn]] void endProcessAtOnce(ExitStatus status);

#endif
