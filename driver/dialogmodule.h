#ifndef DIALOGMODULE_H
#define DIALOGMODULE_H

#include <QStringList>

// The file dialog lives in a module of its own, loaded only by a run that shows it: Qt's GUI and
// widget libraries take longer to load than a small named source takes to convert. The program
// looks its two functions up by name.
extern "C" {

// Makes the application object that the dialog needs; it stays until the process ends.
Q_DECL_EXPORT void configgenStartDialogApplication(int &argc, char **argv);

// The files a person chooses in the dialog, which opens in the source folder; none when cancelled.
Q_DECL_EXPORT void configgenChooseSourceFiles(QStringList *chosen);
}

#endif
