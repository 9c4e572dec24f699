#include "process.h"

#include <QByteArray>
#include <QHash>

#include <csignal>

#ifdef Q_OS_WIN
#include "console.h"

#include <QString>

#include <iostream>
#include <limits>

#include <windows.h>
#endif

void setUpProcess()
{
    qSetGlobalQHashSeed(0);
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", QByteArrayLiteral("none"));
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

#ifdef Q_OS_WIN
namespace {

bool aPersonIsThere = false;

// A console window that counts one process belongs to the tool alone: Windows opened it for the
// tool and closes it with it. A prompt or a script that started the tool shares its console instead.
bool aPersonReadsAWindowOfItsOwn()
{
    const HWND window = GetConsoleWindow();
    DWORD mode = 0;
    DWORD processes[2];
    return aPersonIsThere && window && IsWindowVisible(window)
        && GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) // not redirected
        && GetConsoleProcessList(processes, 2) == 1;
}

void waitForEnterAfterAFailure(ExitStatus status)
{
    if (status == ExitSucceeded || !aPersonReadsAWindowOfItsOwn())
        return;
    printConsoleLine(QStringLiteral("Press Enter to close this window."));
    std::cin.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
}

} // namespace

void expectAPersonAtTheConsole()
{
    aPersonIsThere = true;
}
#else
void expectAPersonAtTheConsole() {}

static void waitForEnterAfterAFailure(ExitStatus /*status*/) {}
#endif

void endProcess(ExitStatus status)
{
    waitForEnterAfterAFailure(status);
    std::exit(status);
}

void endProcessAtOnce(ExitStatus status)
{
    waitForEnterAfterAFailure(status);
    std::_Exit(status);
}
