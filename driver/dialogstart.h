#ifndef DIALOGSTART_H
#define DIALOGSTART_H

#include "configgenerator.h"

// The dialog needs Qt's platform: on Linux a display, on Windows the platform plugin in the
// platforms folder beside configgen.exe. When it cannot start, the tool shows Qt's own message and
// a line that says what to do, and ends with status 1 wherever its output goes.

// Runs the batches of the dialog and ends the process. `displayNamed`: the command line says where
// the dialog shows, as DISPLAY does.
[[noreturn]] void runWithDialog(int &argc, char **argv, bool displayNamed, const RunSettings &settings);

#endif
