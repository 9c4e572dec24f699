// Writes a generated source file, for timing the tool against other programs on the same input.

#include "sourcegenerator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char *argv[])
{
    SourceShape shape = SourceShape::Mixed;
    if (argc == 5 && std::strcmp(argv[1], "--shape") == 0) {
        const std::optional<SourceShape> named = sourceShapeNamed(argv[2]);
        if (!named) {
            std::fprintf(stderr, "%s: no such shape: %s (mixed, short or long)\n", argv[0], argv[2]);
            return 2;
        }
        shape = *named;
        argv += 2;
        argc -= 2;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s [--shape mixed|short|long] ENTRIES OUTPUT.xml\n", argv[0]);
        return 2;
    }
    char *end = nullptr;
    const long entries = std::strtol(argv[1], &end, 10);
    if (*end != '\0' || entries < 0) {
        std::fprintf(stderr, "%s: not a number of entries: %s\n", argv[0], argv[1]);
        return 2;
    }
    if (!writeGeneratedSource(argv[2], entries, shape)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
