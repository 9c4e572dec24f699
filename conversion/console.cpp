#include "console.h"

#include <cerrno>
#include <cstring>
#include <iostream>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

#ifdef Q_OS_WIN
// A Windows console shows bytes in its own code page, which is seldom UTF-8, so a line for a
// console goes to it as UTF-16. This changes nothing in the console's settings, which stay the
// person's own. Output redirected to a file or a pipe gets UTF-8 bytes, as everywhere.
bool writeToConsole(const std::ostream &stream, const QString &line)
{
    const HANDLE output = GetStdHandle(&stream == &std::cerr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(output, &mode))
        return false;
    DWORD written = 0;
    return WriteConsoleW(output, line.utf16(), static_cast<DWORD>(line.size()), &written, nullptr) != 0;
}
#endif

QString outputError;

void printLine(std::ostream &stream, const QString &text)
{
#ifdef Q_OS_WIN
    if (writeToConsole(stream, text + QLatin1Char('\n')))
        return;
#endif
    errno = 0;
    stream << text.toUtf8().constData() << std::endl;
    // The stream keeps no reason; errno still holds the system's from the write that failed. A failed
    // stream writes no more, so the first reason is the one.
    if (&stream == &std::cout && stream.fail() && outputError.isEmpty())
        outputError = QString::fromLocal8Bit(std::strerror(errno != 0 ? errno : EIO));
}

} // namespace

QString standardOutputError()
{
    return outputError;
}

void standardOutputIsClosed()
{
    outputError = QString::fromLocal8Bit(std::strerror(EBADF));
    std::cout.setstate(std::ios::badbit);
}

void printConsoleLine(const QString &text)
{
    printLine(std::cout, text);
}

void printErrorLine(const QString &text)
{
    printLine(std::cerr, text);
}
