#include "sourcegenerator.h"

#include <array>
#include <cstdio>
#include <fstream>

namespace {

constexpr std::array<const char *, 4> knownKinds = {"left", "right", "merge", "tandem"};
constexpr std::array<const char *, 2> unknownKinds = {"drill", "probe"};
constexpr long unknownKindEvery = 97;
constexpr long shortSkippedEvery = 9;
constexpr long longContentTimes = 100;

const char *knownKind(long entry)
{
    return knownKinds.at(static_cast<std::size_t>(entry) % knownKinds.size());
}

std::string mixedKindOf(long entry)
{
    if (entry % unknownKindEvery == unknownKindEvery - 1)
        return unknownKinds.at(static_cast<std::size_t>(entry / unknownKindEvery) % unknownKinds.size());
    return knownKind(entry);
}

// Of the skipped entries of the short shape, every other one has an unknown kind, the rest none.
std::string shortKindOf(long entry)
{
    if (entry % shortSkippedEvery != shortSkippedEvery - 1)
        return knownKind(entry);
    return (entry / shortSkippedEvery) % 2 == 0 ? unknownKinds.at(0) : "";
}

// Six lines of G-code for one tool; tool numbers and coordinates vary from entry to entry, as real
// programs do.
std::string toolLines(long entry, const char *indent, bool inCdata)
{
    const char *leftSet = inCdata ? "<leftSet>" : "&lt;leftSet>";
    const char *rightSet = inCdata ? "<rightSet>" : "&lt;rightSet>";
    const long tool = entry % 12 + 1;
    const double diameter = 20.0 + static_cast<double>(entry % 800) / 10.0;
    const double depth = 1.0 + static_cast<double>(entry % 4000) / 100.0;
    std::array<char, 512> text{};
    std::snprintf(text.data(), text.size(),
                  "%sT%02ld%02ld M6\n"
                  "%s%s\n"
                  "%sG0 X%.1f Z2.0\n"
                  "%sG1 Z-%.2f F0.2\n"
                  "%s%s\n"
                  "%sG0 X100.0 Z100.0\n",
                  indent, tool, tool, indent, leftSet, indent, diameter, indent, depth, indent, rightSet, indent);
    return text.data();
}

std::string inCdataIf(bool inCdata, const std::string &text)
{
    return inCdata ? "<![CDATA[" + text + "]]>" : text;
}

std::string mixedContentOf(long entry)
{
    const bool inCdata = entry % 3 == 2;
    return inCdataIf(inCdata, "\n" + toolLines(entry, "                ", inCdata) + "            ");
}

std::string shortContentOf(long entry)
{
    const long tool = entry % 12 + 1;
    std::array<char, 128> text{};
    std::snprintf(text.data(), text.size(), "T%02ld%02ld M6 M8\n&lt;%s>\nG0 X%ld.0 Z2.0 F0.25 S900", tool, tool,
                  entry % 2 == 0 ? "leftSet" : "rightSet", 20 + entry % 80);
    return text.data();
}

std::string longContentOf(long entry)
{
    const bool inCdata = entry % 3 == 2;
    std::string text = "\n";
    for (long part = 0; part < longContentTimes; ++part)
        text += toolLines(entry * longContentTimes + part, "                ", inCdata);
    return inCdataIf(inCdata, text + "            ");
}

void writeEntry(std::ofstream &out, const std::string &kind, const std::string &content)
{
    out << "        <file>\n            <name>" << kind << "</name>\n            <content>" << content
        << "</content>\n        </file>\n";
}

void writeEntries(std::ofstream &out, long entries, SourceShape shape)
{
    switch (shape) {
    case SourceShape::Mixed:
        for (long entry = 0; entry < entries; ++entry)
            writeEntry(out, mixedKindOf(entry), mixedContentOf(entry));
        break;
    case SourceShape::Short:
        for (long entry = 0; entry < entries; ++entry)
            writeEntry(out, shortKindOf(entry), shortContentOf(entry));
        break;
    case SourceShape::Long:
        for (long entry = 0; entry < (entries + longContentTimes - 1) / longContentTimes; ++entry)
            writeEntry(out, knownKind(entry), longContentOf(entry));
        break;
    }
}

} // namespace

std::optional<SourceShape> sourceShapeNamed(const std::string &name)
{
    if (name == "mixed")
        return SourceShape::Mixed;
    if (name == "short")
        return SourceShape::Short;
    if (name == "long")
        return SourceShape::Long;
    return std::nullopt;
}

bool writeGeneratedSource(const std::string &path, long entries, SourceShape shape)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<Job Part=\"Generated-"
        << entries << "\">\n    <mainFiles>\n";
    writeEntries(out, entries, shape);
    out << "    </mainFiles>\n</Job>\n";
    out.close();
    return !out.fail();
}
