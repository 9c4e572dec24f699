#include "configgenerator.h"

#include "console.h"

#include <QFile>
#include <QTextCodec>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

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
template <typename Text>
bool checkDocument(const Text &text, ParseError &error)
{
    QXmlStreamReader reader(text);
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

// Given bytes, the DOM's parser decodes them as the document declares; given text, it takes the
// text as it is.
template <typename Text>
bool buildDocument(const Text &text, QDomDocument &document, ParseError &error)
{
    int line = 0;
    int column = 0;
    if (document.setContent(text, &error.message, &line, &column))
        return true;
    error.line = line;
    error.column = column;
    return false;
}

template <typename Text>
bool parseDocument(const Text &text, QDomDocument &document, ParseError &error)
{
    return checkDocument(text, error) && buildDocument(text, document, error);
}

// How many bytes the codec writes a carriage return in: one in UTF-8 and 8-bit encodings, two in
// UTF-16, four in UTF-32.
int carriageReturnWidth(const QTextCodec &codec)
{
    QTextCodec::ConverterState withoutByteOrderMark(QTextCodec::IgnoreHeader);
    const QChar carriageReturn(QLatin1Char('\r'));
    return int(codec.fromUnicode(&carriageReturn, 1, &withoutByteOrderMark).size());
}

// The codec of a document in UTF-16 or UTF-32, decided from its first bytes as the parsers decide
// it: a byte-order mark, or else the zero bytes around the '<' it starts with. Null for a document
// in UTF-8 or an 8-bit encoding.
QTextCodec *wideUnicodeCodec(const QByteArray &bytes)
{
    if (QTextCodec *const marked = QTextCodec::codecForUtfText(bytes, nullptr))
        return carriageReturnWidth(*marked) > 1 ? marked : nullptr;
    using namespace std::string_view_literals;
    // UTF-32 first: its starts begin with those of UTF-16.
    static constexpr std::array<std::pair<std::string_view, const char *>, 4> unmarkedStarts = {{
        {"<\0\0\0"sv, "UTF-32LE"},
        {"\0\0\0<"sv, "UTF-32BE"},
        {"<\0"sv, "UTF-16LE"},
        {"\0<"sv, "UTF-16BE"},
    }};
    const std::string_view start(bytes.constData(), std::size_t(bytes.size()));
    for (const auto &[documentStart, codecName] : unmarkedStarts) {
        if (start.substr(0, documentStart.size()) == documentStart)
            return QTextCodec::codecForName(codecName);
    }
    return nullptr;
}

// Decoded text keeps its declaration, which the parsers ignore in text. Given the bytes, they
// decode them as declared, so a declaration of an encoding of another width than the bytes'
// (UTF-8 in a UTF-16 file, say) makes them refuse the document.
bool declarationFits(const QString &text, const QTextCodec &codec)
{
    QXmlStreamReader reader(text);
    reader.readNext();
    const QStringRef declared = reader.documentEncoding();
    if (declared.isEmpty())
        return true;
    const QTextCodec *const declaredCodec = QTextCodec::codecForName(declared.toLatin1());
    return declaredCodec != nullptr && carriageReturnWidth(*declaredCodec) == carriageReturnWidth(codec);
}

// Parses the file's bytes as a file read in text mode reads: without carriage returns. A byte 0x0D
// is a carriage return in UTF-8 and 8-bit encodings, so there the bytes lose every one of them, as
// Qt's text mode does, and the parsers still decode what the document declares. In UTF-16 and
// UTF-32 the byte is also part of other characters, so those documents lose their carriage returns
// only once decoded; one whose declaration contradicts its bytes goes to the parsers as bytes too.
bool parseFileContent(QByteArray &bytes, QDomDocument &document, ParseError &error)
{
    if (const QTextCodec *const codec = wideUnicodeCodec(bytes)) {
        QString text = codec->toUnicode(bytes);
        if (declarationFits(text, *codec))
            return parseDocument(text.remove(QLatin1Char('\r')), document, error);
    }
    bytes.truncate(int(std::remove(bytes.begin(), bytes.end(), '\r') - bytes.begin()));
    return parseDocument(bytes, document, error);
}

// Opens and parses the file at `path` into `document`. Prints `openFailureLine` when the file
// cannot be opened and the parse-error line when it is not a document the tool can use.
bool readDocument(const QString &path, const QString &openFailureLine, QDomDocument &document)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        printConsoleLine(openFailureLine);
        return false;
    }
    QByteArray bytes = file.readAll();
    file.close();
    ParseError error;
    if (!parseFileContent(bytes, document, error)) {
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
