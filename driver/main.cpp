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
    const bool understood = commandLine.parse(programArguments(argc, argv));
    if (understood && commandLine.leavesSourcesToTheDialog())
        runWithDialog(argc, argv, commandLine.namesADisplay(), commandLine.runSettings());
    const QCoreApplication application(argc, argv); // the help names the program as Qt knows it
    if (!understood) {
        printErrorLine(commandLine.errorLine());
        endProcess(ExitNothingDone);
    }
    if (commandLine.asksForHelp()) {
        printConsoleLine(commandLine.helpText());
        endProcess(ExitSucceeded);
    }
    if (commandLine.asksForVersion()) {
        printConsoleLine(QStringLiteral("configgen " CONFIGGEN_VERSION));
        endProcess(ExitSucceeded);
    }
    ConfigGenerator().runNamedSources(commandLine.sources(), commandLine.runSettings());
}
