// Runs the tool's job for one source file without the file dialog, in the working directory it is
// started in (which holds Template/PostProcessorTemplate.xml): the same code as the batch loop, so
// that it can be timed against other programs. Prints the same console lines as the tool.

#include "configgenerator.h"
#include "console.h"
#include "sourcejob.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOURCE.xml OUTPUT.xml\n", argv[0]);
        return 2;
    }
    makeAttributeOrderStable();
    ConfigGenerator generator;
    QDomDocument templateDocument;
    const QDomNode templateRoot = generator.loadTemplateRoot(templateDocument);
    if (templateRoot.isNull())
        return 1;
    const QString sourcePath = QString::fromLocal8Bit(argv[1]);
    const std::optional<WriteResult> result =
        convertSourceFile(generator, templateRoot, sourcePath, QString::fromLocal8Bit(argv[2]));
    if (result != WriteResult::Written) {
        printConsoleLine(QStringLiteral("\tFailed:") + sourcePath);
        return 1;
    }
    printConsoleLine(QStringLiteral("\tSucessfull:") + sourcePath);
    return 0;
}
