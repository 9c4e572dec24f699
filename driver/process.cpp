#include "process.h"

#include <QByteArray>
#include <QHash>

#include <cerrno>
#include <csignal>

#include "console.h"

#include <QString>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN
#include <iostream>
#include <limits>

#include <windows.h>
#endif

#ifdef Q_OS_UNIX
// A standard stream that the caller closed would be the next file the tool opens (a source, an
// output, one of Qt's own), and console lines would go into that. /dev/null takes its place, and
// the lines for a closed standard output count as not written.
static void keepStandardStreamsOpen()
{
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(stream, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free descriptor, which is `stream` once those before it are open.
        if (open("/dev/null", stream == STDIN_FILENO ? O_RDONLY : O_WRONLY) == STDOUT_FILENO)
            standardOutputIsClosed();
    }
}
#endif

void setUpProcess()
{
#ifdef Q_OS_UNIX
    keepStandardStreamsOpen();
#endif
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

// A run that could not show its console lines has not told anyone what it did: a script that reads
// them, or a person, got nothing, so the run did not succeed.
static ExitStatus statusAfterConsole(ExitStatus status)
{
    const QString lost = standardOutputError();
    if (lost.isEmpty())
        return status;
    printErrorLine(QStringLiteral("configgen: standard output could not be written: ") + lost);
    return status == ExitSucceeded ? ExitNothingDone : status;
}

void endProcess(ExitStatus status)
{
    waitForEnterAfterAFailure(status);
    std::exit(statusAfterConsole(status));
}

void endProcessAtOnce(ExitStatus status)
{
    waitForEnterAfterAFailure(status);
    std::_Exit(status);
}
