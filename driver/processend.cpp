#include "processend.h"

#include <QtGlobal> // says which system this is

#ifdef Q_OS_WIN
#include "console.h"

#include <QString>

#include <iostream>
#include <limits>

#include <windows.h>

namespace {

// A console that counts one process belongs to the tool alone: Windows opened it for the tool
// and closes it with it. A prompt or a script that started the tool shares its console instead.
bool consoleClosesWithTheTool()
{
    DWORD mode = 0;
    if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode))
        return false; // output redirected: nobody reads it in the window
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

void waitForEnter()
{
    printConsoleLine(QStringLiteral("Press Enter to close this window."));
    std::cin.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
}

} // namespace
#endif

void endProcess(ExitStatus status)
{
#ifdef Q_OS_WIN
    if (status != ExitSucceeded && consoleClosesWithTheTool())
        waitForEnter();
#endif
    std::exit(status);
}
