#include "dialogmodule.h"

#include "workingfolder.h"

#include <QApplication>
#include <QFileDialog>

void configgenStartDialogApplication(int &argc, char **argv)
{
    // It stays until the process ends, which the batch loop ends itself.
    [[maybe_unused]] static const QApplication *const application = new QApplication(argc, argv);
}

void configgenChooseSourceFiles(QStringList *chosen)
{
    *chosen = QFileDialog::getOpenFileNames(nullptr, WorkingFolder::dialogCaption, WorkingFolder::sourceFolder,
                                            WorkingFolder::dialogFilter);
}
