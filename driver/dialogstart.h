#ifndef DIALOGSTART_H
#define DIALOGSTART_H

#include "configgenerator.h"

// The dialog and the application object it needs come from a module of their own (dialogmodule.h),
// which a broken install may lack. The dialog needs Qt's platform: on Linux a display, on Windows
// the platform plugin in the platforms folder beside configgen.exe. When either cannot start, the
// tool shows why and a line that says what to do, and ends with status 1 wherever its output goes.

// Runs the batches of the dialog and ends the process. `displayNamed`: the command line says where
// the dialog shows, as DISPLAY does.
[[noreturn]] void runWithDialog(int &argc, char **argv, bool displayNamed, const RunSettings &settings);

// The files a person chooses in the dialog that runWithDialog has started; none when cancelled.
QStringList chooseInTheDialog();

#endif
