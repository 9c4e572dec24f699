#include "configgenerator.h"

#include "console.h"

#include <QBuffer>
#include <QFile>
#include <QXmlStreamReader>

#include <algorithm>

namespace {

// Qt's DOM recurses once per nesting level while it parses, copies, reads text and frees a
// document, so a deep enough file overflows the stack (at about 30,000 levels on an 8 MiB stack).
// Real sources nest about five levels and templates not many more. Parsing and freeing a document
// 256 levels deep fits in a 128 KiB stack (measured with this Qt on x86-64), an eighth of the
// 1 MiB that Windows gives the main thread, which leaves room for sanitizer builds and their
// larger frames. libxml2 stops at the same depth by default.
constexpr int maximumNestingDepth = 256;

struct ParseError
{
    QString message;
    qint64 line = 0;
    qint64 column = 0;
};

void printParseError(const ParseError &error)
{
    printConsoleLine(QStringLiteral("Parse error") + error.message + QStringLiteral("Line:") + QString::number(error.line)
                     + QStringLiteral("Column:") + QString::number(error.column));
}

ParseError errorAt(const QXmlStreamReader &reader, const QString &message)
{
    return {message, reader.lineNumber(), reader.columnNumber()};
}

QString outsideEntityMessage(const QString &name)
{
    return QStringLiteral("Entity '%1' is defined outside the document, which is never read").arg(name);
}

QString firstExternalEntity(const QXmlStreamReader &reader)
{
    const QXmlStreamEntityDeclarations declarations = reader.entityDeclarations();
    const auto *const external = std::find_if(declarations.cbegin(), declarations.cend(), [](const auto &declaration) {
        return !declaration.systemId().isEmpty() || !declaration.publicId().isEmpty();
    });
    return external == declarations.cend() ? QString() : external->name().toString();
}

// Reads the whole document once with Qt's streaming parser, which keeps no stack per level,
// before the DOM may see it. Besides the nesting depth, this refuses what the DOM's parser would
// quietly get wrong: bytes invalid in the document's encoding (it puts replacement characters in
// their place), undeclared entities and forbidden characters (it drops them), and entities defined
// outside the document, in another file or an external document type (it never reads them, and so
// loses their text; nor may a document's content make the tool read other files). Returns whether the
// document may be given to the DOM; otherwise `error` says why.
bool checkDocument(const QByteArray &bytes, ParseError &error)
{
    QXmlStreamReader reader(bytes);
    reader.setNamespaceProcessing(false);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > maximumNestingDepth) {
                error = errorAt(reader, QStringLiteral("Elements nested more than %1 levels deep").arg(maximumNestingDepth));
                return false;
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::DTD:
            if (const QString name = firstExternalEntity(reader); !name.isEmpty()) {
                error = errorAt(reader, outsideEntityMessage(name));
                return false;
            }
            break;
        case QXmlStreamReader::EntityReference:
            error = errorAt(reader, outsideEntityMessage(reader.name().toString()));
            return false;
        default:
            break;
        }
    }
    // A document cut short was still read to its end, so every level of it was checked: the DOM's
    // parser may see it and reports it in its own words, like any other half-written file.
    if (reader.hasError() && reader.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
        error = errorAt(reader, reader.errorString());
        return false;
    }
    return true;
}

bool buildDocument(QByteArray &bytes, QDomDocument &document, ParseError &error)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    int line = 0;
    int column = 0;
    if (document.setContent(&buffer, &error.message, &line, &column))
        return true;
    error.line = line;
    error.column = column;
    return false;
}

// Opens and parses the file at `path` into `document`. Prints `openFailureLine` when the file
// cannot be opened and the parse-error line when it is not a document the tool can use.
bool readDocument(const QString &path, const QString &openFailureLine, QDomDocument &document)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        printConsoleLine(openFailureLine);
        return false;
    }
    QByteArray bytes = file.readAll();
    file.close();
    ParseError error;
    if (!checkDocument(bytes, error) || !buildDocument(bytes, document, error)) {
        printParseError(error);
        return false;
    }
    return true;
}

} // namespace

QDomNode ConfigGenerator::loadTemplateRoot(QDomDocument &document)
{
    if (!readDocument(templatePath,
                      QStringLiteral("Invalid file path.Please Check PostProcessorTemplate.xml is existed?"),
                      document))
        return {};
    return document.documentElement();
}

QDomNode ConfigGenerator::loadSectionElement(const QString &path, const QString &tag, QDomDocument &document)
{
    if (!readDocument(path, QStringLiteral("Invalid file path"), document))
        return {};
    return document.documentElement().firstChildElement(tag);
}
