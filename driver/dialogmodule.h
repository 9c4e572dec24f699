#ifndef DIALOGMODULE_H
#define DIALOGMODULE_H

#include <QStringList>

// The file dialog lives in a module of its own, loaded only by a run that shows it: Qt's GUI and
// widget libraries take longer to load than a small named source takes to convert. The program
// finds the module's two functions by these names.

// Makes the application object that the dialog needs; it stays until the process ends.
using StartDialogApplication = void (*)(int &argc, char **argv);
inline constexpr const char *startDialogApplicationName = "configgenStartDialogApplication";

// The files a person chooses in the dialog, which opens in the source folder; none when cancelled.
using ChooseSourceFiles = void (*)(QStringList *chosen);
inline constexpr const char *chooseSourceFilesName = "configgenChooseSourceFiles";

#endif
