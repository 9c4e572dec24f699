#include "commandline.h"
#include "configgenerator.h"
#include "console.h"
#include "dialogstart.h"
#include "process.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    setUpProcess();
    CommandLine commandLine;
    if (!commandLine.parse(programArguments(argc, argv))) {
        printErrorLine(commandLine.errorLine());
        endProcess(ExitNothingDone);
    }
    if (commandLine.asksForHelp()) {
        const QCoreApplication application(argc, argv); // the help names the program as Qt knows it
        printConsoleLine(commandLine.helpText());
        endProcess(ExitSucceeded);
    }
    if (commandLine.asksForVersion()) {
        printConsoleLine(QStringLiteral("configgen " CONFIGGEN_VERSION));
        endProcess(ExitSucceeded);
    }
    const QStringList sources = commandLine.sources();
    if (sources.isEmpty())
        runWithDialog(argc, argv, commandLine.namesADisplay(), commandLine.runSettings());
    // Files, codecs and the DOM need no application object, and making one (its event dispatcher,
    // the locale, the logging rules) is work that a small named run would wait for.
    ConfigGenerator().runNamedSources(sources, commandLine.runSettings());
}
