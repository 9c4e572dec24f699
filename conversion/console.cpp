#include "console.h"

#include <iostream>

void printConsoleLine(const QString &text)
{
    std::cout << text.toUtf8().constData() << std::endl;
}
