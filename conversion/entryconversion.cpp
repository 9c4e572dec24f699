#include "configgenerator.h"

#include "console.h"
#include "diagnostics.h"

#include <QDomElement>
#include <QVector>

#include <algorithm>
#include <array>
#include <optional>

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

const QLatin1String leftSetMarker("<leftSet>");
const QLatin1String rightSetMarker("<rightSet>");

// A marker line names a work offset: <leftSet> is G54, <rightSet> is G55; any other marker
// still gets its (empty) Coordinate so that the line keeps its place.
QDomElement makeCoordinate(QDomDocument &document, const QStringRef &marker)
{
    QDomElement coordinate = document.createElement(QStringLiteral("Coordinate"));
    if (marker == leftSetMarker)
        coordinate.appendChild(document.createTextNode(QStringLiteral("G54")));
    else if (marker == rightSetMarker)
        coordinate.appendChild(document.createTextNode(QStringLiteral("G55")));
    return coordinate;
}

QDomElement makeItem(QDomDocument &document, const QString &line)
{
    QDomElement item = document.createElement(QStringLiteral("Item"));
    item.appendChild(document.createTextNode(line));
    return item;
}

// A text from the source as a diagnostic quotes it: on one line, and not at any length.
QString quoted(const QString &text)
{
    constexpr int longest = 40;
    QString shown = text.left(longest).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (text.size() > longest)
        shown += QStringLiteral("...");
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

QString likelyMeantHint(const QString &written, const QStringList &known)
{
    const QString meant = likelyMeant(written, known);
    return meant.isEmpty() ? QString() : QStringLiteral("; did you mean \"%1\"?").arg(meant);
}

// Where a kind or an empty configuration is reported: where the text of the entry's name starts.
FilePosition kindPosition(const QDomElement &name)
{
    FilePosition position = positionOf(name);
    if (position.column > 0)
        ++position.column;
    return position;
}

// The next text or CDATA node after `node` inside `content`, in the order QDomElement::text() reads
// them.
QDomNode nextCharacterData(QDomNode node, const QDomNode &content)
{
    do {
        if (node.isElement() && node.hasChildNodes()) {
            node = node.firstChild();
        } else {
            while (node != content && node.nextSibling().isNull())
                node = node.parentNode();
            node = node == content ? QDomNode() : node.nextSibling();
        }
    } while (!node.isNull() && !node.isText());
    return node;
}

// Finds where a place in an entry's content text stands in the file. The DOM's parser keeps where
// each text or CDATA node ends; lines are counted back from there, columns from the line's start,
// and on a node's first line from the end of its parent's start tag. Asked for places in increasing
// order, it reads every node once.
class ContentPositions
{
public:
    explicit ContentPositions(const QDomElement &content) : content(content), node(nextCharacterData(content, content))
    {
        startNode();
    }

    FilePosition at(int offset)
    {
        while (offset >= nodeStart + value.size() && !nextCharacterData(node, content).isNull()) {
            nodeStart += value.size();
            node = nextCharacterData(node, content);
            startNode();
        }
        const int local = offset - nodeStart;
        for (; scanned < local; ++scanned) {
            if (value.at(scanned) == QLatin1Char('\n')) {
                ++newlinesBefore;
                lineStart = scanned + 1;
            }
        }
        const FilePosition end = positionOf(node);
        return {end.line > 0 ? end.line - (newlines - newlinesBefore) : 0, columnAt(local, end.column)};
    }

private:
    void startNode()
    {
        value = node.nodeValue();
        newlines = value.count(QLatin1Char('\n'));
        newlinesBefore = 0;
        lineStart = -1;
        scanned = 0;
    }

    int columnAt(int local, int endColumn) const
    {
        if (lineStart >= 0)
            return local - lineStart + 1;
        // A CDATA node is written inside <![CDATA[ and ]]>.
        const bool cdata = node.isCDATASection();
        const FilePosition parent = positionOf(node.parentNode());
        if (node.previousSibling().isNull() && parent.column > 0)
            return parent.column + 1 + (cdata ? 9 : 0) + local;
        if (newlines == 0 && endColumn > 0)
            return std::max(endColumn - (cdata ? 2 : 0) - (value.size() - local), 0);
        return 0;
    }

    const QDomElement content;
    QDomNode node;
    QString value;
    int nodeStart = 0;
    int newlines = 0;
    int newlinesBefore = 0;
    int lineStart = -1;
    int scanned = 0;
};

void reportOtherMarker(Diagnostics &diagnostics, FilePosition position, const QStringRef &marker)
{
    diagnostics.report(Diagnostics::Warning, position,
                       QStringLiteral("marker %1 is neither <leftSet> nor <rightSet>: its Coordinate is empty")
                               .arg(quoted(marker.toString()))
                           + likelyMeantHint(marker.toString(), {leftSetMarker, rightSetMarker}));
}

// Markup inside the content is not text: a <leftSet> written as an element loses its work offset.
void reportMarkupInContent(Diagnostics &diagnostics, const QDomElement &content)
{
    for (QDomElement element = content.firstChildElement(); !element.isNull(); element = element.nextSiblingElement()) {
        diagnostics.report(Diagnostics::Warning, positionOf(element),
                           QStringLiteral("<%1> inside content is markup, not text: the tag is dropped (write &lt;%1> "
                                          "or put the lines in CDATA)")
                               .arg(element.tagName()));
    }
}

void appendContentLines(QDomElement &configuration, QDomDocument &document, const QDomElement &content,
                        Diagnostics *diagnostics)
{
    // Parts are judged empty before trimming: a line of blanks still becomes an (empty) Item. The
    // parts refer into the content, so that only the text that an Item keeps is ever copied.
    const QString text = content.text();
    const QVector<QStringRef> parts = text.splitRef(QLatin1Char('\n'), Qt::SkipEmptyParts);
    std::optional<ContentPositions> positions;
    for (const QStringRef &part : parts) {
        const QStringRef line = part.trimmed();
        if (!line.startsWith(QLatin1Char('<'))) {
            configuration.appendChild(makeItem(document, line.toString()));
            continue;
        }
        configuration.appendChild(makeCoordinate(document, line));
        if (diagnostics != nullptr && line != leftSetMarker && line != rightSetMarker) {
            if (!positions)
                positions.emplace(content);
            reportOtherMarker(*diagnostics, positions->at(line.position()), line);
        }
    }
    if (diagnostics != nullptr)
        reportMarkupInContent(*diagnostics, content);
}

// An entry without a kind makes no configuration. A comment or a processing instruction in the
// section is one too, which is seldom a mistake.
void reportNoKind(Diagnostics &diagnostics, const QDomNode &entry, const QDomElement &name)
{
    if (entry.isComment() || entry.isProcessingInstruction()) {
        diagnostics.report(Diagnostics::Note, positionOf(entry),
                           QStringLiteral("a %1 in mainFiles is read as an entry without a kind (Name is empty)")
                               .arg(entry.isComment() ? QStringLiteral("comment") : QStringLiteral("processing instruction")));
    } else if (!entry.isElement()) {
        diagnostics.reportEntryLeftOut(positionOf(entry), QStringLiteral("text %1 in mainFiles is not in an entry: it is left out")
                                                                .arg(quoted(entry.nodeValue().trimmed())));
    } else if (name.isNull()) {
        diagnostics.reportEntryLeftOut(positionOf(entry), QStringLiteral("entry <%1> has no name, so no kind: it is left out")
                                                                .arg(entry.nodeName()));
    } else {
        diagnostics.reportEntryLeftOut(kindPosition(name), QStringLiteral("entry <%1> has an empty name, so no kind: it is "
                                                                          "left out")
                                                               .arg(entry.nodeName()));
    }
}

void reportUnknownKind(Diagnostics &diagnostics, const QDomElement &name, const QString &kindKey)
{
    QStringList kinds;
    for (const EntryKind &kind : entryKinds)
        kinds << QLatin1String(kind.key);
    diagnostics.reportEntryLeftOut(kindPosition(name),
                                   QStringLiteral("entry kind %1 is not one of %2: the entry is left out")
                                           .arg(quoted(kindKey), kinds.join(QStringLiteral(", ")))
                                       + likelyMeantHint(kindKey, kinds));
}

} // namespace

QDomNode ConfigGenerator::convertEntry(const QDomNode &entry, Diagnostics *diagnostics)
{
    const QDomElement name = entry.firstChildElement(QStringLiteral("name"));
    const QString kindKey = name.text().trimmed();
    if (kindKey.isEmpty()) {
        printConsoleLine(QStringLiteral("Name is empty"));
        if (diagnostics != nullptr)
            reportNoKind(*diagnostics, entry, name);
        return {};
    }
    const auto named = [&kindKey](const EntryKind &kind) { return kindKey == QLatin1String(kind.key); };
    const auto *const kind = std::find_if(entryKinds.cbegin(), entryKinds.cend(), named);
    if (kind == entryKinds.cend()) {
        if (diagnostics != nullptr)
            reportUnknownKind(*diagnostics, name, kindKey);
        return {};
    }

    QDomDocument document = entry.ownerDocument();
    QDomElement configuration = document.createElement(QStringLiteral("Configulation"));
    setKindAttributes(configuration, *kind);
    appendContentLines(configuration, document, entry.firstChildElement(QStringLiteral("content")), diagnostics);
    if (diagnostics != nullptr && !configuration.hasChildNodes())
        diagnostics->report(Diagnostics::Warning, kindPosition(name),
                            QStringLiteral("entry %1 has no content lines: its configuration is empty").arg(quoted(kindKey)));
    return configuration;
}
