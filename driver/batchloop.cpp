#include "configgenerator.h"

#include "console.h"
#include "dialogstart.h"
#include "process.h"
#include "sourcejob.h"
#include "workingfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <new>

#ifdef CONFIGGEN_MIMALLOC
#include <mimalloc.h>
#endif

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
    Diagnostics diagnostics(WorkingFolder::templatePath);
    const QDomNode templateRoot = generator.loadTemplateRoot(templateDocument, &diagnostics);
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

// The user name goes into every output file name; an empty value is allowed, a missing one not,
// and a folder separator would send the outputs to another folder than GenerateFiles/, or to none.
QString readUserNameOrEnd()
{
    if (!qEnvironmentVariableIsSet(WorkingFolder::userNameVariable))
        endForUserName();
#ifdef Q_OS_WIN
    // Windows keeps the environment in UTF-16; its bytes would come in the ANSI code page, which
    // cannot hold every name.
    QString userName = qEnvironmentVariable(WorkingFolder::userNameVariable);
#else
    QString userName = QString::fromUtf8(qgetenv(WorkingFolder::userNameVariable));
#endif
    // Windows takes either slash as a separator; fromNativeSeparators makes its own one a '/'.
    if (QDir::fromNativeSeparators(userName).contains(QLatin1Char('/')))
        endForUserName(QStringLiteral("USERNAME '") + userName
                       + QStringLiteral("' holds a folder separator, and it must be a part of the output file names"));
    return userName;
}

void printFailure(const QString &sourcePath, const QString &why)
{
    printConsoleLine(QStringLiteral("\tFailed:") + sourcePath + QLatin1Char('\t') + why);
}

QString counted(int count, const char *one, const char *many)
{
    return QString::number(count) + QLatin1Char(' ') + QLatin1String(count == 1 ? one : many);
}

// What a batch found, for its summary.
struct BatchCounts
{
    int sources = 0;
    int succeeded = 0;
    int entriesLeftOut = 0;
    int warnings = 0;

    bool clean() const { return succeeded == sources && entriesLeftOut == 0 && warnings == 0; }
};

// The batches of one run share the template and the user name, read once at its start.
class Batches
{
public:
    Batches(ConfigGenerator &generator, const RunSettings &settings)
        : generator(generator), settings(settings), templateRoot(loadTemplateOrEnd(generator, templateDocument)),
          userName(readUserNameOrEnd())
    {
    }

    // Converts the sources in the order given; returns true when every one was written (checked:
    // when nothing was left out of any).
    bool convert(const QStringList &sourcePaths)
    {
#ifdef CONFIGGEN_MIMALLOC
        // A job builds up to hundreds of megabytes of small DOM nodes; a fresh 4 KiB page costs a page
        // fault, a 2 MiB one (a transparent huge page) one for 512 of them. Not before a batch: Qt's
        // start and the dialog's threads touch little of each page, and would fill a 2 MiB page each.
        mi_option_set(mi_option_large_os_pages, 1);
#endif
        printConsoleLine(QStringLiteral("File size:") + QString::number(sourcePaths.size()));
        QHash<QString, QString> sourceOfOutput;
        BatchCounts counts;
        for (const QString &sourcePath : sourcePaths) {
            const QString outputPath =
                WorkingFolder::outputFolder + userName + QLatin1Char('_') + QFileInfo(sourcePath).fileName();
            Diagnostics diagnostics(sourcePath, settings.quiet);
            const SourceOutcome outcome = convertSource(sourceOfOutput, sourcePath, outputPath, diagnostics);
            report(outcome, sourcePath, outputPath, diagnostics);
            ++counts.sources;
            counts.succeeded += outcome.succeeded() ? 1 : 0;
            counts.entriesLeftOut += diagnostics.entriesLeftOut();
            counts.warnings += diagnostics.warnings();
        }
        printSummary(counts);
        return counts.succeeded == counts.sources && (!settings.check || counts.clean());
    }

private:
    // Two sources of one file name in a batch have one output file. The earlier keeps it: the later
    // is not converted, so that no output of the batch silently replaces another. Windows' file names
    // ignore case (A.xml and a.xml), and so does this check there.
    SourceOutcome convertSource(QHash<QString, QString> &sourceOfOutput, const QString &sourcePath,
                                const QString &outputPath, Diagnostics &diagnostics)
    {
#ifdef Q_OS_WIN
        const QString key = outputPath.toCaseFolded();
#else
        const QString &key = outputPath;
#endif
        if (sourceOfOutput.contains(key))
            return {SourceOutcome::OutputTaken, sourceOfOutput.value(key)};
        sourceOfOutput.insert(key, sourcePath);
        try {
            return convertSourceFile(generator, templateRoot, sourcePath, outputPath, settings, diagnostics);
        } catch (const std::bad_alloc &) {
            // What the source's job held goes with the exception, and the next source has it back.
            return {SourceOutcome::OutOfMemory, QString::fromLocal8Bit(std::strerror(ENOMEM))};
        }
    }

    // The console line of the source, and on standard error what stdout's words leave unsaid.
    static void report(const SourceOutcome &outcome, const QString &sourcePath, const QString &outputPath,
                       Diagnostics &diagnostics)
    {
        const QString shownOutput = QDir::toNativeSeparators(outputPath);
        switch (outcome.result) {
        case SourceOutcome::Written:
        case SourceOutcome::Convertible:
            printConsoleLine(QStringLiteral("\tSucessfull:") + sourcePath);
            return;
        case SourceOutcome::NotLoaded:
            printFailure(sourcePath, QStringLiteral("Node is empty."));
            break;
        case SourceOutcome::OutputTaken:
            printFailure(sourcePath, outputPath + QStringLiteral(" is the output of ") + outcome.reason);
            diagnostics.report(Diagnostics::Error, {},
                               QStringLiteral("not converted: its output %1 is that of %2 in this batch")
                                   .arg(shownOutput, QDir::toNativeSeparators(outcome.reason)));
            return;
        case SourceOutcome::OutOfMemory:
            printFailure(sourcePath, outcome.reason);
            diagnostics.report(Diagnostics::Error, {}, QStringLiteral("not converted: ") + outcome.reason);
            break;
        case SourceOutcome::HasWarnings:
            printFailure(sourcePath, counted(diagnostics.warnings(), "warning", "warnings")
                                         + QStringLiteral(": not written (--strict)"));
            diagnostics.report(Diagnostics::Error, {},
                               QStringLiteral("not written: --strict writes no source with a warning"));
            break;
        case SourceOutcome::CannotOpenOutput:
            printConsoleLine(QStringLiteral("\tInvalid file path"));
            diagnostics.report(Diagnostics::Error, {},
                               QStringLiteral("the output %1 cannot be created: ").arg(shownOutput) + outcome.reason
                                   + missingOutputFolder());
            break;
        case SourceOutcome::CannotWrite:
            printFailure(sourcePath, QStringLiteral("Cannot write ") + outputPath + QStringLiteral(": ") + outcome.reason);
            diagnostics.report(Diagnostics::Error, {},
                               QStringLiteral("the output %1 cannot be written: ").arg(shownOutput) + outcome.reason);
            return;
        }
        if (QFileInfo(outputPath).isFile())
            diagnostics.report(Diagnostics::Note, {},
                               QStringLiteral("the earlier output %1 is left as it was").arg(shownOutput));
    }

    static QString missingOutputFolder()
    {
        const QFileInfo folder(WorkingFolder::outputFolder);
        if (folder.isDir())
            return {};
        return QStringLiteral("; the output folder %1 does not exist (configgen does not create it)")
            .arg(QDir::toNativeSeparators(QDir::cleanPath(folder.absoluteFilePath())));
    }

    // Nothing at all on standard error after a clean batch.
    void printSummary(const BatchCounts &counts) const
    {
        if (counts.clean() || settings.quiet)
            return;
        const QString sources = settings.check
            ? QStringLiteral("%1 of %2 can be converted (--check writes nothing)")
            : QStringLiteral("%1 of %2 written");
        printErrorLine(QStringLiteral("configgen: ")
                       + sources.arg(QString::number(counts.succeeded), counted(counts.sources, "source", "sources"))
                       + QStringLiteral(", ") + counted(counts.entriesLeftOut, "entry", "entries")
                       + QStringLiteral(" left out, ") + counted(counts.warnings, "warning", "warnings"));
    }

    ConfigGenerator &generator;
    const RunSettings settings;
    QDomDocument templateDocument; // holds the nodes of templateRoot
    const QDomNode templateRoot;
    const QString userName;
};

} // namespace

QStringList ConfigGenerator::selectSourceFiles()
{
    for (;;) {
        QStringList paths = chooseInTheDialog();
        if (!paths.isEmpty())
            return paths;

        printConsoleLine(QStringLiteral("Please select a file.Input:Y(Yes)/N(No)"));
        if (!answersYes())
            return {};
    }
}

void ConfigGenerator::runBatches(const RunSettings &settings)
{
    Batches batches(*this, settings);
    do {
        batches.convert(selectSourceFiles());
        printConsoleLine(QStringLiteral("Generate Sucessfule.\tDo next?\n\nInput:Y(Yes)/N(No)"));
    } while (answersYes());
    endProcess(ExitSucceeded);
}

void ConfigGenerator::runNamedSources(const QStringList &sourcePaths, const RunSettings &settings)
{
    endProcess(Batches(*this, settings).convert(sourcePaths) ? ExitSucceeded : ExitSomeSourcesFailed);
}
