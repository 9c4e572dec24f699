#include "configgenerator.h"

#include "console.h"

#include <QDomElement>
#include <QVector>

#include <array>
#include <vector>

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

// The attributes of every configuration of one kind, in the order in which they are set. Qt keeps
// an attribute's value twice, as the value that it writes and as a text node under the attribute;
// a shallow copy of an attribute holds the value alone. So each kind's attributes are made once,
// and every configuration gets shallow copies of them: less than half the nodes, the same text.
using KindAttributes = std::array<QDomAttr, 5>;

class AttributeSets
{
public:
    AttributeSets()
    {
        for (std::size_t i = 0; i < entryKinds.size(); ++i)
            sets[i] = makeSet(entryKinds[i]);
    }

    const KindAttributes *find(const QString &key) const
    {
        for (std::size_t i = 0; i < entryKinds.size(); ++i) {
            if (key == QLatin1String(entryKinds[i].key))
                return &sets[i];
        }
        return nullptr;
    }

private:
    // Every configuration is an NC program in G-code, so the prefix is empty and the suffix fixed.
    KindAttributes makeSet(const EntryKind &kind)
    {
        QDomElement holder = document.createElement(QStringLiteral("Configulation"));
        holders.push_back(holder); // an attribute is usable only while its element lives
        holder.setAttribute(QStringLiteral("Name"), QLatin1String(kind.name));
        holder.setAttribute(QStringLiteral("NickName"), QLatin1String(kind.nickName));
        holder.setAttribute(QStringLiteral("Prefix"), QString());
        holder.setAttribute(QStringLiteral("Suffix"), QStringLiteral(".nc"));
        holder.setAttribute(QStringLiteral("Image"), QLatin1String(kind.image));
        return {holder.attributeNode(QStringLiteral("Name")), holder.attributeNode(QStringLiteral("NickName")),
                holder.attributeNode(QStringLiteral("Prefix")), holder.attributeNode(QStringLiteral("Suffix")),
                holder.attributeNode(QStringLiteral("Image"))};
    }

    QDomDocument document; // first made, last gone: it owns everything below
    std::vector<QDomElement> holders;
    std::array<KindAttributes, entryKinds.size()> sets;
};

const KindAttributes *findKindAttributes(const QString &key)
{
    static const AttributeSets attributeSets;
    return attributeSets.find(key);
}

void copyKindAttributes(QDomElement &configuration, const KindAttributes &attributes)
{
    for (const QDomAttr &attribute : attributes)
        configuration.setAttributeNode(attribute.cloneNode(false).toAttr());
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
    const KindAttributes *attributes = findKindAttributes(kindKey);
    if (attributes == nullptr)
        return {};

    QDomDocument document = entry.ownerDocument();
    QDomElement configuration = document.createElement(QStringLiteral("Configulation"));
    copyKindAttributes(configuration, *attributes);
    appendContentLines(configuration, document, entry.firstChildElement(QStringLiteral("content")).text());
    return configuration;
}
