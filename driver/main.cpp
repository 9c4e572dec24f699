#include "configgenerator.h"
#include "console.h"
#include "processend.h"
#include "processsetup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdlib>

#ifdef Q_OS_WIN
#include <QDir>
#include <QRegularExpression>
#endif

namespace {

const char *const usageText = R"(Usage: configgen [OPTIONS] [SOURCE...]
Turns source XML files into post-processor configuration files.

Without SOURCE, a file dialog asks for the sources, and the console whether to
run another batch. Each SOURCE named is converted, in the order given, in one
batch without dialog or question; it gives GenerateFiles/<USERNAME>_<its name>.
On Windows a SOURCE may hold the wildcards * and ?, as in SourceFiles\*.xml.

Options:
  -h, --help     Show this text and exit.
  -v, --version  Show the version and exit.
Qt's own options (-platform, -style, ...) are taken too.

Working directory: Template/PostProcessorTemplate.xml, SourceFiles/ (where the
dialog opens) and GenerateFiles/ (the output folder, which must exist).

Exit status: 0 when every SOURCE was written (without SOURCE: when the batches
end); 1 when nothing could be done (no template, no USERNAME, a usage error, no
display for the dialog); 2 when at least one SOURCE was not written.)";

const QString noDisplayLine = QStringLiteral("configgen: there is no display to show the file dialog on; "
                                             "name the source files on the command line instead (configgen --help)");

// The options of a widget program that QApplication takes off the command line itself. The
// parser knows them so as to tell their values from sources; they take effect only with the dialog.
QList<QCommandLineOption> qtOptions()
{
    QList<QCommandLineOption> options;
    for (const char *name : {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
                             "qwindowtitle", "geometry", "title", "icon", "display", "name", "session", "style",
                             "stylesheet", "qmljsdebugger"})
        options << QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
    for (const char *name : {"reverse", "widgetcount", "nograb", "dograb"})
        options << QCommandLineOption(QString::fromLatin1(name));
    return options;
}

class CommandLine
{
public:
    CommandLine()
    {
        // Qt's options are single-dash words (-platform), never bundled letters.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions(QList<QCommandLineOption>({help, version}) + qtOptions());
    }

    bool parse(const QStringList &arguments) { return parser.parse(arguments); }
    QString errorText() const { return parser.errorText(); }
    bool asksForHelp() const { return parser.isSet(help); }
    bool asksForVersion() const { return parser.isSet(version); }
    bool choosesPlatform() const { return parser.isSet(QStringLiteral("platform")); }
    QStringList sources() const { return parser.positionalArguments(); }

    // Nothing on the command line but Qt's own options: the person chooses the sources in the dialog.
    bool leavesSourcesToTheDialog(const QStringList &arguments)
    {
        return parse(arguments) && sources().isEmpty() && !asksForHelp() && !asksForVersion();
    }

private:
    QCommandLineParser parser;
    const QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}};
    const QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")}};
};

// Before an application object exists the arguments can only be taken as the C library hands
// them over. That is enough to choose the application object; names of sources are taken from it.
QStringList argumentsBeforeTheApplication(int argc, char **argv)
{
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments << QString::fromLocal8Bit(argv[index]);
    return arguments;
}

#ifdef Q_OS_WIN
// Windows' shells hand wildcards to the program unexpanded. An argument whose file name holds
// * or ? names the files that match, by name as Windows sorts them; one that matches nothing
// stays as it is and fails like any missing file.
QStringList expandWildcards(const QStringList &arguments)
{
    QStringList paths;
    for (const QString &argument : arguments) {
        const int nameStart = argument.lastIndexOf(QRegularExpression(QStringLiteral("[/\\\\:]"))) + 1;
        const QString pattern = argument.mid(nameStart);
        const QStringList names = pattern.contains(QRegularExpression(QStringLiteral("[*?]")))
            ? QDir(nameStart ? argument.left(nameStart) : QStringLiteral("."))
                  .entryList({pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase)
            : QStringList();
        if (names.isEmpty())
            paths << argument;
        for (const QString &name : names)
            paths << argument.left(nameStart) + name;
    }
    return paths;
}
#else
// The shell has expanded any pattern: every argument is a file name.
QStringList expandWildcards(const QStringList &arguments)
{
    return arguments;
}
#endif

// Qt's widgets need a display server, and Qt aborts with a core dump when none answers. Without
// a platform chosen (-platform, QT_QPA_PLATFORM), Qt connects to the one these variables name.
bool displayMissing([[maybe_unused]] const CommandLine &commandLine)
{
#ifdef Q_OS_LINUX
    return !commandLine.choosesPlatform() && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")
        && !qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

QtMessageHandler qtMessageHandler = nullptr;

// A display that is named but does not answer makes Qt fail fatally while it builds the
// application object; the tool ends then as it does when no display is named at all.
void endOnFatalMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        qtMessageHandler(type, context, message);
        return;
    }
    printErrorLine(noDisplayLine);
    std::_Exit(ExitNothingDone); // Qt is half-built: no clean-up may run
}

[[noreturn]] void runWithDialog(int &argc, char **argv, const CommandLine &commandLine)
{
    if (displayMissing(commandLine)) {
        printErrorLine(noDisplayLine);
        endProcess(ExitNothingDone);
    }
    qtMessageHandler = qInstallMessageHandler(endOnFatalMessage);
    QApplication application(argc, argv);
    qInstallMessageHandler(qtMessageHandler);
    ConfigGenerator generator;
    generator.runBatches();
}

[[noreturn]] void runWithoutDialog(int &argc, char **argv, CommandLine &commandLine)
{
    const QCoreApplication application(argc, argv);
    if (!commandLine.parse(QCoreApplication::arguments())) {
        printErrorLine(QStringLiteral("configgen: ") + commandLine.errorText());
        endProcess(ExitNothingDone);
    }
    if (commandLine.asksForHelp()) {
        printConsoleLine(QString::fromUtf8(usageText));
        endProcess(ExitSucceeded);
    }
    if (commandLine.asksForVersion()) {
        printConsoleLine(QStringLiteral("configgen " CONFIGGEN_VERSION));
        endProcess(ExitSucceeded);
    }
    ConfigGenerator generator;
    generator.runNamedSources(expandWildcards(commandLine.sources()));
}

} // namespace

int main(int argc, char *argv[])
{
    setUpProcess();
    CommandLine commandLine;
    if (commandLine.leavesSourcesToTheDialog(argumentsBeforeTheApplication(argc, argv)))
        runWithDialog(argc, argv, commandLine);
    runWithoutDialog(argc, argv, commandLine);
}
