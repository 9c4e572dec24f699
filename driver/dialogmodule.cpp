#include "dialogmodule.h"

#include "workingfolder.h"

#include <QApplication>
#include <QFileDialog>

extern "C" {

Q_DECL_EXPORT void configgenStartDialogApplication(int *argc, char **argv)
{
    static_assert(std::is_same_v<decltype(&configgenStartDialogApplication), StartDialogApplication>);
    new QApplication(*argc, argv); // ends with the process, which the batch loop ends itself
}

Q_DECL_EXPORT void configgenChooseSourceFiles(QStringList *chosen)
{
    static_assert(std::is_same_v<decltype(&configgenChooseSourceFiles), ChooseSourceFiles>);
    *chosen = QFileDialog::getOpenFileNames(nullptr, WorkingFolder::dialogCaption, WorkingFolder::sourceFolder,
                                            WorkingFolder::dialogFilter);
}
}
