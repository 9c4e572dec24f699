#include "commandline.h"

#include <QDir>
#include <QRegularExpression>

#ifdef Q_OS_WIN
#include <windows.h>

#include <shellapi.h>
#endif

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace {

// The help names paths with the platform's own separator; no other slash stands in its texts.
QString description()
{
    return QDir::toNativeSeparators(QStringLiteral(
        "Turns source XML files into post-processor configuration files.\n\n"
        "Without SOURCE, a file dialog asks for the sources, and the console whether to\n"
        "run another batch. Each SOURCE named is converted, in the order given, in one\n"
        "batch without dialog or question.\n\n"
        "It works in the folder it is started in, which holds the template\n"
        "Template/PostProcessorTemplate.xml, SourceFiles/ (where the dialog opens)\n"
        "and GenerateFiles/ (the output folder, which must exist).\n\n"
        "What is left out of a source (an entry of unknown kind, a marker other than\n"
        "<leftSet> and <rightSet>) and why a source is not converted is said on standard\n"
        "error as PATH:LINE:COLUMN: warning: ..., with a summary at the end of a batch.\n\n"
        "Exit status: 0 when every SOURCE was written (without SOURCE: when the batches\n"
        "end); 1 when nothing could be done (no template, no USERNAME, a usage error, the\n"
        "dialog cannot start); 2 when at least one SOURCE was not written (with --check:\n"
        "when anything was left out or could not be converted).\n\n"
        "Qt's own options (-platform, -style, ...) are taken too; --help-all lists them."));
}

QString sourceDescription()
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(QStringLiteral(
        "A source XML file, such as SourceFiles/*.xml (the wildcards * and ? name the files that match). "
        "It gives GenerateFiles/<USERNAME>_<its name>."));
#else
    return QStringLiteral("A source XML file. It gives GenerateFiles/<USERNAME>_<its name>.");
#endif
}

#ifdef Q_OS_WIN
// cmd and PowerShell take only * and ? as wildcards: brackets are part of a file name.
QRegularExpression wildcardPattern(const QString &pattern)
{
    QString expression = QRegularExpression::escape(pattern);
    expression.replace(QLatin1String("\\*"), QLatin1String(".*")).replace(QLatin1String("\\?"), QLatin1String("."));
    return QRegularExpression(QRegularExpression::anchoredPattern(expression), QRegularExpression::CaseInsensitiveOption);
}

// A name whose last part holds * or ? names the files that match, sorted by name as Windows sorts
// them; one that matches nothing stays as it is and fails like any missing file.
QStringList expandWildcards(const QStringList &arguments)
{
    QStringList paths;
    for (const QString &argument : arguments) {
        const int nameStart = argument.lastIndexOf(QRegularExpression(QStringLiteral("[/\\\\:]"))) + 1;
        const QString pattern = argument.mid(nameStart);
        const QStringList names = pattern.contains(QRegularExpression(QStringLiteral("[*?]")))
            ? QDir(nameStart ? argument.left(nameStart) : QStringLiteral("."))
                  .entryList(QDir::Files, QDir::Name | QDir::IgnoreCase)
                  .filter(wildcardPattern(pattern))
            : QStringList();
        if (names.isEmpty())
            paths << argument;
        for (const QString &name : names)
            paths << argument.left(nameStart) + name;
    }
    return paths;
}
#endif

} // namespace

QStringList programArguments([[maybe_unused]] int argc, [[maybe_unused]] char **argv)
{
    QStringList arguments;
#ifdef Q_OS_WIN
    int count = 0;
    if (wchar_t **const words = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int index = 0; index < count; ++index)
            arguments << QString::fromWCharArray(words[index]);
        LocalFree(words);
    }
#else
    for (int index = 0; index < argc; ++index)
        arguments << QString::fromLocal8Bit(argv[index]);
#endif
    return arguments;
}

QList<QCommandLineOption> qtOptions()
{
    // Each with the name of its value; a switch has none.
    const std::initializer_list<std::pair<const char *, const char *>> taken = {
        {"platform", "name[:options]"}, {"platformpluginpath", "path"}, {"platformtheme", "theme"}, {"plugin", "plugin"},
        {"qwindowgeometry", "geometry"}, {"qwindowtitle", "title"}, {"qwindowicon", "icon"}, {"session", "session"},
        {"style", "style"}, {"stylesheet", "file"}, {"qmljsdebugger", "port:port[,block]"}, {"reverse", nullptr},
        {"testability", nullptr}, {"widgetcount", nullptr}, {"qdevel", nullptr}, {"qdebug", nullptr},
#ifndef Q_OS_WIN
        // The X11 platform's own.
        {"display", "display"}, {"geometry", "geometry"}, {"title", "title"}, {"icon", "icon"}, {"name", "name"},
        {"visual", "id"}, {"nograb", nullptr}, {"dograb", nullptr},
#endif
    };
    QList<QCommandLineOption> options;
    for (const auto &[name, valueName] : taken)
        options << QCommandLineOption(QString::fromLatin1(name), QString(), QString::fromLatin1(valueName));
    return options;
}

CommandLine::CommandLine(QCommandLineOption::Flags qtOptionFlags)
    : helpOption(parser.addHelpOption()), versionOption(parser.addVersionOption()),
      checkOption(QStringLiteral("check"),
                  QStringLiteral("Read and convert every SOURCE and report, but write nothing.")),
      strictOption(QStringLiteral("strict"),
                   QStringLiteral("Write no source that has a warning (its earlier output stays).")),
      quietOption(QStringList({QStringLiteral("q"), QStringLiteral("quiet")}),
                  QStringLiteral("Keep notes, warnings and the summary back; errors still show."))
{
    parser.addOptions({checkOption, strictOption, quietOption});
    // Qt's options are single-dash words (-platform), never bundled letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(description());
    parser.addPositionalArgument(QStringLiteral("SOURCE"), sourceDescription(), QStringLiteral("[SOURCE...]"));
    for (QCommandLineOption option : qtOptions()) {
        option.setFlags(qtOptionFlags);
        parser.addOption(option);
    }
}

bool CommandLine::parse(const QStringList &arguments)
{
#ifdef Q_OS_WIN
    // Windows' programs show their help for /?.
    QStringList words = arguments;
    std::replace(words.begin(), words.end(), QStringLiteral("/?"), QStringLiteral("-?"));
    return parser.parse(words);
#else
    return parser.parse(arguments);
#endif
}

QString CommandLine::errorLine() const
{
    return QStringLiteral("configgen: ") + parser.errorText() + QStringLiteral(" See configgen --help.");
}

bool CommandLine::asksForHelp() const
{
    return parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all"));
}

bool CommandLine::asksForVersion() const
{
    return parser.isSet(versionOption);
}

QString CommandLine::helpText() const
{
    if (parser.isSet(QStringLiteral("help-all")))
        return CommandLine(QCommandLineOption::Flags()).parser.helpText().trimmed();
    return parser.helpText().trimmed();
}

RunSettings CommandLine::runSettings() const
{
    RunSettings settings;
    settings.check = parser.isSet(checkOption);
    settings.strict = parser.isSet(strictOption);
    settings.quiet = parser.isSet(quietOption);
    return settings;
}

bool CommandLine::namesADisplay() const
{
    const QStringList given = parser.optionNames();
    return given.contains(QStringLiteral("platform")) || given.contains(QStringLiteral("display"));
}

QStringList CommandLine::sources() const
{
#ifdef Q_OS_WIN
    return expandWildcards(parser.positionalArguments());
#else
    // The shell has expanded any pattern: every argument is a file name.
    return parser.positionalArguments();
#endif
}
