#include "configgenerator.h"

#include "console.h"
#include "consoleanswer.h"
#include "outputwriter.h"
#include "processend.h"
#include "sourcejob.h"
#include "workingfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#ifdef CONFIGGEN_MIMALLOC
#include <mimalloc.h>
#endif

#include <optional>

namespace {

// The user name goes into every output file name; an empty value is allowed, a missing one not.
std::optional<QString> readUserName()
{
    if (!qEnvironmentVariableIsSet(WorkingFolder::userNameVariable))
        return std::nullopt;
#ifdef Q_OS_WIN
    // Windows keeps the environment in UTF-16; its bytes would come in the ANSI code page, which
    // cannot hold every name.
    return qEnvironmentVariable(WorkingFolder::userNameVariable);
#else
    return QString::fromUtf8(qgetenv(WorkingFolder::userNameVariable));
#endif
}

QString outputPathFor(const QString &userName, const QString &sourcePath)
{
    return WorkingFolder::outputFolder + userName + QLatin1Char('_') + QFileInfo(sourcePath).fileName();
}

void reportWrite(WriteResult result, const QString &sourcePath, const QString &outputPath, const QString &writeError)
{
    switch (result) {
    case WriteResult::Written:
        printConsoleLine(QStringLiteral("\tSucessfull:") + sourcePath);
        break;
    case WriteResult::CannotOpen:
        printConsoleLine(QStringLiteral("\tInvalid file path"));
        break;
    case WriteResult::CannotWrite:
        printConsoleLine(QStringLiteral("\tFailed:") + sourcePath + QStringLiteral("\tCannot write ") + outputPath
                         + QStringLiteral(": ") + writeError);
        break;
    }
}

// Returns true when the output file was written.
bool handleSourceFile(ConfigGenerator &generator, const QDomNode &templateRoot, const QString &sourcePath,
                      const QString &outputPath)
{
    QString writeError;
    const std::optional<WriteResult> result = convertSourceFile(generator, templateRoot, sourcePath, outputPath, &writeError);
    if (!result) {
        printConsoleLine(QStringLiteral("\tFailed:") + sourcePath + QStringLiteral("\tNode is empty."));
        return false;
    }
    reportWrite(*result, sourcePath, outputPath, writeError);
    return *result == WriteResult::Written;
}

// A job builds many small DOM nodes; in 2 MiB pages (transparent huge pages) they take far fewer
// page faults (mimalloc 2.0 asks for them with madvise). Only once a batch begins: before it, the
// dialog's threads would fill one each.
void useLargePagesForJobs()
{
#ifdef CONFIGGEN_MIMALLOC
    mi_option_set(mi_option_large_os_pages, 1);
#endif
}

// Two sources of one file name in a batch have one output file. The earlier keeps it: the later
// is not converted, so that no output of the batch silently replaces another. Windows' file names
// ignore case (A.xml and a.xml), and so does this check there.
bool outputIsFree(QHash<QString, QString> &sourceOfOutput, const QString &outputPath, const QString &sourcePath)
{
#ifdef Q_OS_WIN
    const QString key = outputPath.toCaseFolded();
#else
    const QString &key = outputPath;
#endif
    const auto earlier = sourceOfOutput.constFind(key);
    if (earlier == sourceOfOutput.cend()) {
        sourceOfOutput.insert(key, sourcePath);
        return true;
    }
    printConsoleLine(QStringLiteral("\tFailed:") + sourcePath + QLatin1Char('\t') + outputPath
                     + QStringLiteral(" is the output of ") + *earlier);
    return false;
}

// Returns true when every source was written.
bool convertBatch(ConfigGenerator &generator, const QDomNode &templateRoot, const QString &userName,
                  const QStringList &sourcePaths)
{
    useLargePagesForJobs();
    printConsoleLine(QStringLiteral("File size:") + QString::number(sourcePaths.size()));
    QHash<QString, QString> sourceOfOutput;
    bool allWritten = true;
    for (const QString &sourcePath : sourcePaths) {
        const QString outputPath = outputPathFor(userName, sourcePath);
        allWritten = outputIsFree(sourceOfOutput, outputPath, sourcePath)
            && handleSourceFile(generator, templateRoot, sourcePath, outputPath) && allWritten;
    }
    return allWritten;
}

// The template root, loaded once for the whole run: without it no batch can run.
QDomNode loadTemplateOrEnd(ConfigGenerator &generator, QDomDocument &templateDocument)
{
    const QDomNode templateRoot = generator.loadTemplateRoot(templateDocument);
    if (templateRoot.isNull()) {
        printConsoleLine(QStringLiteral("Failed:Please check Template/PostProcessorTemplate.xml is existed."));
        printErrorLine(QStringLiteral("configgen: the template it tried is ")
                       + QDir::toNativeSeparators(QFileInfo(generator.templateFile()).absoluteFilePath())
                       + QStringLiteral("; configgen works in the folder it is started in, which must hold it"));
        endProcess(ExitNothingDone);
    }
    return templateRoot;
}

QString readUserNameOrEnd()
{
    const std::optional<QString> userName = readUserName();
    if (!userName) {
        printConsoleLine(QStringLiteral("Failed to get USERNAME environment variable"));
        endProcess(ExitNothingDone);
    }
    return *userName;
}

} // namespace

void ConfigGenerator::runBatches()
{
    QDomDocument templateDocument;
    const QDomNode templateRoot = loadTemplateOrEnd(*this, templateDocument);
    const QString userName = readUserNameOrEnd();

    // The end of standard input counts as "no": nobody is left to answer another batch.
    char answer = 'Y';
    do {
        convertBatch(*this, templateRoot, userName, selectSourceFiles());
        printConsoleLine(QStringLiteral("Generate Sucessfule.\tDo next?\n\nInput:Y(Yes)/N(No)"));
    } while (readAnswer(answer) && isYes(answer));
    endProcess(ExitSucceeded);
}

void ConfigGenerator::runNamedSources(const QStringList &sourcePaths)
{
    QDomDocument templateDocument;
    const QDomNode templateRoot = loadTemplateOrEnd(*this, templateDocument);
    const QString userName = readUserNameOrEnd();
    endProcess(convertBatch(*this, templateRoot, userName, sourcePaths) ? ExitSucceeded : ExitSomeSourcesFailed);
}
