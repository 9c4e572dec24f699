#ifndef CONSOLECAPTURE_H
#define CONSOLECAPTURE_H

#include <QString>

#include <iostream>
#include <sstream>

// Collects what the code under test prints to standard output (or `stream`) while it is alive.
class ConsoleCapture
{
public:
    explicit ConsoleCapture(std::ostream &stream = std::cout) : stream(stream), previous(stream.rdbuf(buffer.rdbuf())) {}
    ~ConsoleCapture() { stream.rdbuf(previous); }
    ConsoleCapture(const ConsoleCapture &) = delete;
    ConsoleCapture &operator=(const ConsoleCapture &) = delete;

    QString text() const { return QString::fromStdString(buffer.str()); }

private:
    std::ostream &stream;
    std::ostringstream buffer;
    std::streambuf *previous;
};

#endif
