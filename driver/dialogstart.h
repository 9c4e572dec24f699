#ifndef DIALOGSTART_H
#define DIALOGSTART_H

#include <QApplication>

#include <memory>

// The dialog needs Qt's platform: on Linux a display, on Windows the platform plugin in the
// platforms folder beside configgen.exe. When it cannot start, the tool shows Qt's own message and
// a line that says what to do, and ends with status 1 wherever its output goes.

// Ends the process when no display is named at all (Linux), before Qt aborts for want of one.
void endIfNoDisplayIsNamed(bool namedOnTheCommandLine);

// The application object for the dialog, or the end of the process when Qt's platform fails.
std::unique_ptr<QApplication> startTheDialogsApplication(int &argc, char **argv);

#endif
