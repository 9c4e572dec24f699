#include "commandline.h"
#include "configgenerator.h"
#include "console.h"
#include "dialogstart.h"
#include "process.h"

#include <QCoreApplication>

namespace {

// Before an application object exists the arguments can only be taken as the C library hands
// them over. That is enough to choose the application object; names of sources are taken from it.
QStringList argumentsBeforeTheApplication(int argc, char **argv)
{
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments << QString::fromLocal8Bit(argv[index]);
    return arguments;
}

[[noreturn]] void runWithoutDialog(int &argc, char **argv, CommandLine &commandLine)
{
    const QCoreApplication application(argc, argv);
    if (!commandLine.parse(QCoreApplication::arguments())) {
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
    ConfigGenerator generator;
    generator.runNamedSources(commandLine.sources(), commandLine.runSettings());
}

} // namespace

int main(int argc, char *argv[])
{
    setUpProcess();
    CommandLine commandLine;
    if (commandLine.parse(argumentsBeforeTheApplication(argc, argv)) && commandLine.leavesSourcesToTheDialog())
        runWithDialog(argc, argv, commandLine.namesADisplay(), commandLine.runSettings());
    runWithoutDialog(argc, argv, commandLine);
}
