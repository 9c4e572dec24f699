#include "configgenerator.h"

#include "console.h"
#include "consoleanswer.h"
#include "workingfolder.h"

#include <QFileDialog>

QStringList ConfigGenerator::selectSourceFiles()
{
    for (;;) {
        QStringList paths = QFileDialog::getOpenFileNames(nullptr, WorkingFolder::dialogCaption,
                                                          WorkingFolder::sourceFolder, WorkingFolder::dialogFilter);
        if (!paths.isEmpty())
            return paths;

        printConsoleLine(QStringLiteral("Please select a file.Input:Y(Yes)/N(No)"));
        char answer = 0;
        if (!readAnswer(answer) || !isYes(answer))
            return {};
    }
}
