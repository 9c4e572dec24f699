#ifndef PROCESS_H
#define PROCESS_H

#include <cstdlib>

// Sets up the process before anything else runs; main calls it first.
// - Attribute order: Qt 5 writes an element's attributes in the order of a hash whose seed is
//   random per process. With seed 0 every run on every machine with the same Qt orders them
//   alike, so an unchanged source gives the same bytes. A QT_HASH_SEED in the environment wins.
// - No OpenGL: the file dialog paints with Qt's raster engine, but on X11 Qt would load its GLX
//   integration, and the system's OpenGL driver with it, at every start. A QT_XCB_GL_INTEGRATION
//   set by the user stays as it is.
// - The file size limit: reaching it must fail the one write, which the output writer then undoes,
//   instead of killing the whole batch half-way through a file.
// - Closed standard streams (Linux): each gets /dev/null in its place, so that no file the tool
//   opens takes the place of one.
void setUpProcess();

// The statuses the tool ends with; scripts that run it tell them apart.
enum ExitStatus {
    ExitSucceeded = EXIT_SUCCESS, // every named source was written, or the batches ended normally
    ExitNothingDone = EXIT_FAILURE, // no template, no USERNAME, a usage error, the dialog cannot start
    ExitSomeSourcesFailed = 2, // the batch ran, but at least one named source was not written
};

// Without sources named, a person chooses them in the dialog and reads the console: call this then.
void expectAPersonAtTheConsole();

// Ends the process with `status`, or with ExitNothingDone instead of ExitSucceeded when a console
// line could not be written to standard output (standard error then says why). On Windows, a
// failing run of the dialog whose console window is its own and visible (double-clicked in
// Explorer) first waits for Enter, so that the window does not close before its last lines have
// been read. Programs, scheduled tasks and hooks name their sources, start the tool without a
// window or read its output: it never waits for them.
[[noreturn]] void endProcess(ExitStatus status);

// The same without any clean-up, for a process that Qt has left half-made.
[[noreturn]] void endProcessAtOnce(ExitStatus status);

#endif
