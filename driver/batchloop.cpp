#include "configgenerator.h"

#include "console.h"
#include "consoleanswer.h"
#include "outputwriter.h"

#include <QDomElement>
#include <QFileInfo>

#include <cstdlib>
#include <optional>

namespace {

// The user name goes into every output file name; an empty value is allowed, a missing one not.
std::optional<QString> readUserName()
{
    if (!qEnvironmentVariableIsSet("USERNAME"))
        return std::nullopt;
    return QString::fromUtf8(qgetenv("USERNAME"));
}

QString outputPathFor(const QString &userName, const QString &sourcePath)
{
    return QStringLiteral("GenerateFiles/") + userName + QLatin1Char('_') + QFileInfo(sourcePath).fileName();
}

void appendConfigurations(ConfigGenerator &generator, const QDomNode &section, QDomNode &outputTree)
{
    for (QDomNode entry = section.firstChild(); !entry.isNull(); entry = entry.nextSibling()) {
        const QDomNode configuration = generator.convertEntry(entry);
        if (!configuration.isNull())
            outputTree.appendChild(configuration);
    }
}

void reportWrite(WriteResult result, const QString &sourcePath, const QString &outputPath)
{
    switch (result) {
    case WriteResult::Written:
        printConsoleLine(QStringLiteral("\tSucessfull:") + sourcePath);
        break;
    case WriteResult::CannotOpen:
        printConsoleLine(QStringLiteral("\tInvalid file path"));
        break;
    case WriteResult::CannotWrite:
        printConsoleLine(QStringLiteral("\tFailed:") + sourcePath + QStringLiteral("\tCannot write ") + outputPath);
        break;
    }
}

void convertSourceFile(ConfigGenerator &generator, const QDomNode &templateRoot, const QString &userName,
                       const QString &sourcePath)
{
    QDomDocument sourceDocument;
    const QDomNode section = generator.loadSectionElement(sourcePath, QStringLiteral("mainFiles"), sourceDocument);
    if (section.isNull()) {
        printConsoleLine(QStringLiteral("\tFailed:") + sourcePath + QStringLiteral("\tNode is empty."));
        return;
    }
    QDomNode outputTree = templateRoot.cloneNode(true);
    appendConfigurations(generator, section, outputTree);
    const QString outputPath = outputPathFor(userName, sourcePath);
    reportWrite(writeOutputTree(outputTree, outputPath), sourcePath, outputPath);
}

void runBatch(ConfigGenerator &generator, const QDomNode &templateRoot, const QString &userName)
{
    const QStringList sourcePaths = generator.selectSourceFiles();
    printConsoleLine(QStringLiteral("File size:") + QString::number(sourcePaths.size()));
    for (const QString &sourcePath : sourcePaths)
        convertSourceFile(generator, templateRoot, userName, sourcePath);
}

} // namespace

void ConfigGenerator::runBatches()
{
    QDomDocument templateDocument;
    const QDomNode templateRoot = loadTemplateRoot(templateDocument);
    if (templateRoot.isNull()) {
        printConsoleLine(QStringLiteral("Failed:Please check Template/PostProcessorTemplate.xml is existed."));
        std::exit(EXIT_FAILURE);
    }
    const std::optional<QString> userName = readUserName();
    if (!userName) {
        printConsoleLine(QStringLiteral("Failed to get USERNAME environment variable"));
        std::exit(EXIT_FAILURE);
    }

    // The end of standard input counts as "no": nobody is left to answer another batch.
    char answer = 'Y';
    do {
        runBatch(*this, templateRoot, *userName);
        printConsoleLine(QStringLiteral("Generate Sucessfule.\tDo next?\n\nInput:Y(Yes)/N(No)"));
    } while (readAnswer(answer) && isYes(answer));
    std::exit(EXIT_SUCCESS);
}
