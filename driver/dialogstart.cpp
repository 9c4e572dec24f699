#include "dialogstart.h"

#include "configgenerator.h"
#include "console.h"
#include "dialogmodule.h"
#include "process.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

const QString nameTheSources = QStringLiteral("or name the source files on the command line (configgen --help)");

decltype(&configgenChooseSourceFiles) chooseSourceFiles = nullptr;
QtMessageHandler qtMessageHandler = nullptr;
bool displayDidNotAnswer = false;

QString whatToDo()
{
#ifdef Q_OS_WIN
    return QStringLiteral("configgen: Qt's platform plugin (platforms\\qwindows.dll) cannot be loaded: keep the "
                          "platforms folder beside configgen.exe, as the zip holds it");
#else
    if (displayDidNotAnswer)
        return QStringLiteral("configgen: the display does not answer; start configgen in a desktop session, ") + nameTheSources;
    return QStringLiteral("configgen: Qt's platform plugin cannot be loaded; install the Qt libraries that configgen "
                          "needs, ")
        + nameTheSources;
#endif
}

// Qt fails fatally while it makes the application object when its platform cannot start.
void endOnFatalMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        displayDidNotAnswer = displayDidNotAnswer || message.startsWith(QLatin1String("could not connect to display"));
        qtMessageHandler(type, context, message);
        return;
    }
    printErrorLine(message.trimmed());
    printErrorLine(whatToDo());
    endProcessAtOnce(ExitNothingDone); // Qt is half-made: no clean-up may run
}

#ifdef Q_OS_WIN
// Without a console window Qt shows that message in a message box too. Started without one (by a
// scheduled task, or an export hook with CREATE_NO_WINDOW) the tool may have nobody to close it, and
// would never end: the message goes to standard error alone.
LRESULT CALLBACK refuseMessageBoxes(int code, WPARAM window, LPARAM details)
{
    wchar_t className[8] = {};
    if (code == HCBT_CREATEWND && GetClassNameW(reinterpret_cast<HWND>(window), className, 8) > 0
        && wcscmp(className, L"#32770") == 0)
        return 1;
    return CallNextHookEx(nullptr, code, window, details);
}
#endif

// Ends the process when no display is named at all (Linux), before Qt aborts for want of one.
void endIfNoDisplayIsNamed([[maybe_unused]] bool namedOnTheCommandLine)
{
#ifdef Q_OS_LINUX
    if (namedOnTheCommandLine || qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY")
        || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return;
    printErrorLine(QStringLiteral("configgen: no display is named to show the file dialog on (DISPLAY is not set); "
                                  "start configgen in a desktop session, ")
                   + nameTheSources);
    endProcess(ExitNothingDone);
#endif
}

QString programPath()
{
#ifdef Q_OS_WIN
    std::wstring path(32768, L'\0'); // the longest path Windows has
    path.resize(GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
    return QString::fromStdWString(path);
#else
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
#endif
}

// The module goes where the program's own files go: beside configgen.exe in the zip, in the
// program's library folder on Linux. Its path relative to the program's folder is built in.
decltype(&configgenStartDialogApplication) loadDialogModule()
{
    const QString path = QDir::cleanPath(QFileInfo(programPath()).absolutePath() + QLatin1Char('/')
                                         + QStringLiteral(CONFIGGEN_DIALOG_MODULE));
    QLibrary module(path);
    const auto start =
        reinterpret_cast<decltype(&configgenStartDialogApplication)>(module.resolve("configgenStartDialogApplication"));
    chooseSourceFiles = reinterpret_cast<decltype(chooseSourceFiles)>(module.resolve("configgenChooseSourceFiles"));
    if (start != nullptr && chooseSourceFiles != nullptr)
        return start;
    // For a missing file Qt names the last of the other names it tried.
    const QString why = QFileInfo::exists(path) ? module.errorString() : QDir::toNativeSeparators(path) + QStringLiteral(" is missing");
    printErrorLine(QStringLiteral("configgen: the file dialog's module cannot be loaded: ") + why);
#ifdef Q_OS_WIN
    printErrorLine(QStringLiteral("configgen: keep configgen-dialog.dll beside configgen.exe, as the zip holds it, ")
                   + nameTheSources);
#else
    printErrorLine(QStringLiteral("configgen: install configgen again, ") + nameTheSources);
#endif
    endProcess(ExitNothingDone);
}

} // namespace

QStringList chooseInTheDialog()
{
    QStringList chosen;
    chooseSourceFiles(&chosen);
    return chosen;
}

void runWithDialog(int &argc, char **argv, bool displayNamed, const RunSettings &settings)
{
    expectAPersonAtTheConsole();
    endIfNoDisplayIsNamed(displayNamed);
    const auto startApplication = loadDialogModule();
    qtMessageHandler = qInstallMessageHandler(endOnFatalMessage);
#ifdef Q_OS_WIN
    const HHOOK hook = SetWindowsHookExW(WH_CBT, refuseMessageBoxes, nullptr, GetCurrentThreadId());
#endif
    startApplication(argc, argv);
#ifdef Q_OS_WIN
    UnhookWindowsHookEx(hook);
#endif
    qInstallMessageHandler(qtMessageHandler);
    ConfigGenerator generator;
    generator.runBatches(settings);
}
