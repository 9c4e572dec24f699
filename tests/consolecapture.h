#ifndef CONSOLECAPTURE_H
#define CONSOLECAPTURE_H

#include <QString>

#include <iostream>
#include <sstream>

// Collects what the code under test prints to standard output while it is alive.
class ConsoleCapture
{
public:
    ConsoleCapture() : previous(std::cout.rdbuf(buffer.rdbuf())) {}
    ~ConsoleCapture() { std::cout.rdbuf(previous); }
    ConsoleCapture(const ConsoleCapture &) = delete;
    ConsoleCapture &operator=(const ConsoleCapture &) = delete;

    QString text() const { return QString::fromStdString(buffer.str()); }

private:
    std::ostringstream buffer;
    std::streambuf *previous;
};

#endif
