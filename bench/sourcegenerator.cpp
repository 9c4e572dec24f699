#include "sourcegenerator.h"

#include <array>
#include <cstdio>
#include <fstream>

namespace {

constexpr std::array<const char *, 4> knownKinds = {"left", "right", "merge", "tandem"};
constexpr std::array<const char *, 2> unknownKinds = {"drill", "probe"};
constexpr long unknownKindEvery = 97;

std::string kindOf(long entry)
{
    if (entry % unknownKindEvery == unknownKindEvery - 1)
        return unknownKinds.at(static_cast<std::size_t>(entry / unknownKindEvery) % unknownKinds.size());
    return knownKinds.at(static_cast<std::size_t>(entry) % knownKinds.size());
}

// Tool numbers and coordinates vary from entry to entry, as real programs do.
std::string contentOf(long entry)
{
    const bool inCdata = entry % 3 == 2;
    const char *leftSet = inCdata ? "<leftSet>" : "&lt;leftSet>";
    const char *rightSet = inCdata ? "<rightSet>" : "&lt;rightSet>";
    const long tool = entry % 12 + 1;
    const double diameter = 20.0 + static_cast<double>(entry % 800) / 10.0;
    const double depth = 1.0 + static_cast<double>(entry % 4000) / 100.0;
    std::array<char, 512> text{};
    std::snprintf(text.data(), text.size(),
                  "\n"
                  "                T%02ld%02ld M6\n"
                  "                %s\n"
                  "                G0 X%.1f Z2.0\n"
                  "                G1 Z-%.2f F0.2\n"
                  "                %s\n"
                  "                G0 X100.0 Z100.0\n"
                  "            ",
                  tool, tool, leftSet, diameter, depth, rightSet);
    if (inCdata)
        return std::string("<![CDATA[") + text.data() + "]]>";
    return text.data();
}

} // namespace

bool writeGeneratedSource(const std::string &path, long entries)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<Job Part=\"Generated-"
        << entries << "\">\n    <mainFiles>\n";
    for (long entry = 0; entry < entries; ++entry) {
        out << "        <file>\n            <name>" << kindOf(entry) << "</name>\n            <content>"
            << contentOf(entry) << "</content>\n        </file>\n";
    }
    out << "    </mainFiles>\n</Job>\n";
    out.close();
    return !out.fail();
}
