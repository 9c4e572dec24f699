#include "configgenerator.h"

#include "allocatorsetup.h"
#include "console.h"
#include "process.h"
#include "sourcejob.h"
#include "workingfolder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <new>

namespace {

// The person's answer to a Y/N prompt: one character after any white space. The end of standard
// input counts as "no": nobody is left to answer.
bool answersYes()
{
    char answer = 0;
    return std::cin >> answer && (answer == 'Y' || answer == 'y');
}

// The template root, loaded once for the whole run: without it no batch can run.
QDomNode loadTemplateOrEnd(ConfigGenerator &generator, QDomDocument &templateDocument)
{
    const QDomNode templateRoot = generator.loadTemplateRoot(templateDocument);
    if (templateRoot.isNull()) {
        printConsoleLine(QStringLiteral("Failed:Please check Template/PostProcessorTemplate.xml is existed."));
        printErrorLine(QStringLiteral("configgen: the template it tried is ")
                       + QDir::toNativeSeparators(QFileInfo(WorkingFolder::templatePath).absoluteFilePath())
                       + QStringLiteral("; configgen works in the folder it is started in, which must hold it"));
        endProcess(ExitNothingDone);
    }
    return templateRoot;
}

// Ends the run at its start for a USERNAME it cannot use. The console shows the one line that
// people and scripts know for that, also when the name is set but unusable; `reason`, if given,
// goes to standard error.
[[noreturn]] void endForUserName(const QString &reason = QString())
{
    printConsoleLine(QStringLiteral("Failed to get USERNAME environment variable"));
    if (!reason.isEmpty())
        printErrorLine(QStringLiteral("configgen: ") + reason);
    endProcess(ExitNothingDone);
}

bool holdsFolderSeparator(const QString &name)
{
#ifdef Q_OS_WIN
    if (name.contains(QLatin1Char('\\')))
        return true;
#endif
    return name.contains(QLatin1Char('/'));
}

// The user name goes into every output file name; an empty value is allowed, a missing one not.
QString readUserName()
{
    if (!qEnvironmentVariableIsSet(WorkingFolder::userNameVariable))
        endForUserName();
#ifdef Q_OS_WIN
    // Windows keeps the environment in UTF-16; its bytes would come in the ANSI code page, which
    // cannot hold every name.
    return qEnvironmentVariable(WorkingFolder::userNameVariable);
#else
    return QString::fromUtf8(qgetenv(WorkingFolder::userNameVariable));
#endif
}

// A folder separator in the name would send the outputs to another folder than GenerateFiles/, or
// to none.
QString readUserNameOrEnd()
{
    const QString userName = readUserName();
    if (holdsFolderSeparator(userName))
        endForUserName(QStringLiteral("USERNAME '") + userName
                       + QStringLiteral("' holds a folder separator, and it must be a part of the output file names"));
    return userName;
}

void printFailure(const QString &sourcePath, const QString &why)
{
    printConsoleLine(QStringLiteral("\tFailed:") + sourcePath + QLatin1Char('\t') + why);
}

// The batches of one run share the template and the user name, read once at its start.
class Batches
{
public:
    explicit Batches(ConfigGenerator &generator)
        : generator(generator), templateRoot(loadTemplateOrEnd(generator, templateDocument)),
          userName(readUserNameOrEnd())
    {
    }

    // Converts the sources in the order given; returns true when every one was written.
    bool convert(const QStringList &sourcePaths)
    {
        useLargePagesForJobs();
        printConsoleLine(QStringLiteral("File size:") + QString::number(sourcePaths.size()));
        QHash<QString, QString> sourceOfOutput;
        bool allWritten = true;
        for (const QString &sourcePath : sourcePaths) {
            const QString outputPath =
                WorkingFolder::outputFolder + userName + QLatin1Char('_') + QFileInfo(sourcePath).fileName();
            allWritten = outputIsFree(sourceOfOutput, outputPath, sourcePath) && convertSource(sourcePath, outputPath)
                && allWritten;
        }
        return allWritten;
    }

private:
    // Two sources of one file name in a batch have one output file. The earlier keeps it: the later
    // is not converted, so that no output of the batch silently replaces another. Windows' file names
    // ignore case (A.xml and a.xml), and so does this check there.
    static bool outputIsFree(QHash<QString, QString> &sourceOfOutput, const QString &outputPath,
                             const QString &sourcePath)
    {
#ifdef Q_OS_WIN
        const QString key = outputPath.toCaseFolded();
#else
        const QString &key = outputPath;
#endif
        if (sourceOfOutput.contains(key)) {
            printFailure(sourcePath, outputPath + QStringLiteral(" is the output of ") + sourceOfOutput.value(key));
            return false;
        }
        sourceOfOutput.insert(key, sourcePath);
        return true;
    }

    // Returns true when the output file was written.
    bool convertSource(const QString &sourcePath, const QString &outputPath)
    {
        QString writeError;
        std::optional<WriteResult> result;
        try {
            result = convertSourceFile(generator, templateRoot, sourcePath, outputPath, &writeError);
        } catch (const std::bad_alloc &) {
            // What the source's job held goes with the exception, and the next source has it back.
            printFailure(sourcePath, QString::fromLocal8Bit(std::strerror(ENOMEM)));
            return false;
        }
        if (!result)
            printFailure(sourcePath, QStringLiteral("Node is empty."));
        else if (*result == WriteResult::Written)
            printConsoleLine(QStringLiteral("\tSucessfull:") + sourcePath);
        else if (*result == WriteResult::CannotOpen)
            printConsoleLine(QStringLiteral("\tInvalid file path"));
        else
            printFailure(sourcePath, QStringLiteral("Cannot write ") + outputPath + QStringLiteral(": ") + writeError);
        return result == WriteResult::Written;
    }

    ConfigGenerator &generator;
    QDomDocument templateDocument; // holds the nodes of templateRoot
    const QDomNode templateRoot;
    const QString userName;
};

} // namespace

QStringList ConfigGenerator::selectSourceFiles()
{
    for (;;) {
        QStringList paths = QFileDialog::getOpenFileNames(nullptr, WorkingFolder::dialogCaption,
                                                          WorkingFolder::sourceFolder, WorkingFolder::dialogFilter);
        if (!paths.isEmpty())
            return paths;

        printConsoleLine(QStringLiteral("Please select a file.Input:Y(Yes)/N(No)"));
        if (!answersYes())
            return {};
    }
}

void ConfigGenerator::runBatches()
{
    Batches batches(*this);
    do {
        batches.convert(selectSourceFiles());
        printConsoleLine(QStringLiteral("Generate Sucessfule.\tDo next?\n\nInput:Y(Yes)/N(No)"));
    } while (answersYes());
    endProcess(ExitSucceeded);
}

void ConfigGenerator::runNamedSources(const QStringList &sourcePaths)
{
    endProcess(Batches(*this).convert(sourcePaths) ? ExitSucceeded : ExitSomeSourcesFailed);
}
