#include "consoleanswer.h"

#include <iostream>

bool readAnswer(char &answer)
{
    return static_cast<bool>(std::cin >> answer);
}

bool isYes(char answer)
{
    return answer == 'Y' || answer == 'y';
}
