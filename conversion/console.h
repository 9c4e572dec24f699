#ifndef CONSOLE_H
#define CONSOLE_H

#include <QString>

// Writes one console line to standard output as UTF-8, ends it and flushes, so that the person
// at the console (or a program reading the pipe) sees every message as soon as it is made.
void printConsoleLine(const QString &text);

// The same for standard error, where a line that is not part of the dialogue goes (a usage error).
void printErrorLine(const QString &text);

// Why a console line could not be written to standard output, in the system's words; empty while
// every line could.
QString standardOutputError();

// Standard output was closed when the tool started: no console line reaches anyone.
void standardOutputIsClosed();

#endif
