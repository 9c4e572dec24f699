#include "configgenerator.h"

#include "console.h"

#include <QDomElement>
#include <QVector>

#include <algorithm>
#include <array>

namespace {

// One row per entry kind that a source may name; everything else in a source is skipped.
struct EntryKind
{
    const char *key;
    const char *name;
    const char *nickName;
    const char *image;
};

constexpr std::array<EntryKind, 4> entryKinds = {{
    {"left", "L", "LeftHand", "left.png"},
    {"right", "R", "RightHand", "right.png"},
    {"merge", "M", "Alternately", "alternately.png"},
    {"tandem", "T", "Tandem", "tandem.png"},
}};

// Every configuration is an NC program in G-code, so the prefix is empty and the suffix fixed.
void setKindAttributes(QDomElement &configuration, const EntryKind &kind)
{
    configuration.setAttribute(QStringLiteral("Name"), QLatin1String(kind.name));
    configuration.setAttribute(QStringLiteral("NickName"), QLatin1String(kind.nickName));
    configuration.setAttribute(QStringLiteral("Prefix"), QString());
    configuration.setAttribute(QStringLiteral("Suffix"), QStringLiteral(".nc"));
    configuration.setAttribute(QStringLiteral("Image"), QLatin1String(kind.image));
}

// A marker line names a work offset: <leftSet> is G54, <rightSet> is G55; any other marker
// still gets its (empty) Coordinate so that the line keeps its place.
QDomElement makeCoordinate(QDomDocument &document, const QStringRef &marker)
{
    QDomElement coordinate = document.createElement(QStringLiteral("Coordinate"));
    if (marker == QLatin1String("<leftSet>"))
        coordinate.appendChild(document.createTextNode(QStringLiteral("G54")));
    else if (marker == QLatin1String("<rightSet>"))
        coordinate.appendChild(document.createTextNode(QStringLiteral("G55")));
    return coordinate;
}

QDomElement makeItem(QDomDocument &document, const QString &line)
{
    QDomElement item = document.createElement(QStringLiteral("Item"));
    item.appendChild(document.createTextNode(line));
    return item;
}

void appendContentLines(QDomElement &configuration, QDomDocument &document, const QString &content)
{
    // Parts are judged empty before trimming: a line of blanks still becomes an (empty) Item. The
    // parts refer into the content, so that only the text that an Item keeps is ever copied.
    const QVector<QStringRef> parts = content.splitRef(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QStringRef &part : parts) {
        const QStringRef line = part.trimmed();
        if (line.startsWith(QLatin1Char('<')))
            configuration.appendChild(makeCoordinate(document, line));
        else
            configuration.appendChild(makeItem(document, line.toString()));
    }
}

} // namespace

QDomNode ConfigGenerator::convertEntry(const QDomNode &entry)
{
    const QString kindKey = entry.firstChildElement(QStringLiteral("name")).text().trimmed();
    if (kindKey.isEmpty()) {
        printConsoleLine(QStringLiteral("Name is empty"));
        return {};
    }
    const auto named = [&kindKey](const EntryKind &kind) { return kindKey == QLatin1String(kind.key); };
    const auto *const kind = std::find_if(entryKinds.cbegin(), entryKinds.cend(), named);
    if (kind == entryKinds.cend())
        return {};

    QDomDocument document = entry.ownerDocument();
    QDomElement configuration = document.createElement(QStringLiteral("Configulation"));
    setKindAttributes(configuration, *kind);
    appendContentLines(configuration, document, entry.firstChildElement(QStringLiteral("content")).text());
    return configuration;
}
