// Writes a generated source file, for timing the tool against other programs on the same input.

#include "sourcegenerator.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ENTRIES OUTPUT.xml\n", argv[0]);
        return 2;
    }
    char *end = nullptr;
    const long entries = std::strtol(argv[1], &end, 10);
    if (*end != '\0' || entries < 0) {
        std::fprintf(stderr, "%s: not a number of entries: %s\n", argv[0], argv[1]);
        return 2;
    }
    if (!writeGeneratedSource(argv[2], entries)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
