#include "dialogmodule.h"

#include "workingfolder.h"

#include <QApplication>
#include <QFileDialog>

#include <type_traits>

extern "C" {

Q_DECL_EXPORT void configgenStartDialogApplication(int &argc, char **argv)
{
    static_assert(std::is_same_v<decltype(&configgenStartDialogApplication), StartDialogApplication>);
    // It stays until the process ends, which the batch loop ends itself.
    [[maybe_unused]] static const QApplication *const application = new QApplication(argc, argv);
}

Q_DECL_EXPORT void configgenChooseSourceFiles(QStringList *chosen)
{
    static_assert(std::is_same_v<decltype(&configgenChooseSourceFiles), ChooseSourceFiles>);
    *chosen = QFileDialog::getOpenFileNames(nullptr, WorkingFolder::dialogCaption, WorkingFolder::sourceFolder,
                                            WorkingFolder::dialogFilter);
}
}
