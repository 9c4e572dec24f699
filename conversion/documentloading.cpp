#include "configgenerator.h"

#include "console.h"
#include "diagnostics.h"
#include "ownencodings.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextCodec>
#include <QTextDecoder>
#include <QXmlStreamReader>

#include <algorithm>
#include <cctype>
#include <array>
#include <limits>
#include <numeric>
#include <tuple>
#include <utility>

namespace {

// Qt's DOM recurses once per nesting level while it parses, copies, reads text and frees a
// document, so a deep enough file overflows the stack (at about 30,000 levels on an 8 MiB stack).
// Real sources nest about five levels and templates not many more. Parsing and freeing a document
// 256 levels deep fits in a 128 KiB stack (measured with this Qt on x86-64), an eighth of the
// 1 MiB that Windows gives the main thread, which leaves room for sanitizer builds and their
// larger frames. libxml2 stops at the same depth by default.
constexpr int maximumNestingDepth = 256;

// Qt's parsers take time that grows with the square of some counts: the streaming parser checks
// each attribute of an element against all before it, and the DOM's parser checks every declared
// entity against every other as it reads each declaration. Real files have a handful of each.
constexpr int maximumAttributes = 1000;
constexpr int maximumEntityDeclarations = 1000;

// Entities may make a document's text longer, but a few references must not make gigabytes of it:
// the text and attribute values, entities expanded, may be this many times as long as the document,
// and a mebibyte more.
constexpr qint64 maximumAmplification = 10;
constexpr qint64 amplificationAllowance = qint64(1) << 20;

struct ParseError
{
    QString message;
    int line = 0;
    int column = 0;
};

ParseError errorAt(const QXmlStreamReader &reader, const QString &message)
{
    return {message, int(reader.lineNumber()), int(reader.columnNumber())};
}

// Where the DOM's parser puts the character that would follow `text`: it counts lines and columns
// from 1.
ParseError errorAfter(const QString &text, const QString &message)
{
    const int lineStart = text.lastIndexOf(QLatin1Char('\n')) + 1;
    return {message, text.count(QLatin1Char('\n')) + 1, text.size() - lineStart + 1};
}

// References to the entities defined outside the document, as written in content: to those declared
// with a system or public identifier, and to those whose text holds such a reference.
QStringList outsideReferences(const QXmlStreamEntityDeclarations &declarations)
{
    QStringList references;
    for (int known = -1; known != references.size();) {
        known = references.size();
        for (const QXmlStreamEntityDeclaration &declaration : declarations) {
            const QString reference = QLatin1Char('&') + declaration.name() + QLatin1Char(';');
            const auto reaches = [&declaration](const QString &outside) { return declaration.value().contains(outside); };
            const bool outside = !declaration.systemId().isEmpty() || !declaration.publicId().isEmpty()
                                 || std::any_of(references.cbegin(), references.cend(), reaches);
            if (outside && !references.contains(reference))
                references << reference;
        }
    }
    return references;
}

// Where the first of `references` in the character data that starts a token read from `start` to
// `end` ends, and which it is; -1 when there is none. Character data holds no '<', and a token's own
// markup begins with one.
std::pair<int, QString> firstReference(const QString &text, int start, int end, const QStringList &references)
{
    std::pair<int, QString> first(-1, QString());
    if (references.isEmpty()) // as in nearly every document: its token need not be searched
        return first;
    QStringRef span = text.midRef(start, end - start);
    span = span.left(span.indexOf(QLatin1Char('<')));
    for (const QString &reference : references) {
        const int at = span.indexOf(reference);
        if (at >= 0 && (first.first < 0 || start + at + reference.size() < first.first))
            first = {start + at + reference.size(), reference};
    }
    return first;
}

// An element left open inside an entry's content: a marker such as <leftSet> written without
// escaping is read as a start tag, and the document then fails to parse where the content ends.
struct OpenMarkup
{
    QString name;
    FilePosition position;
};

QString outsideEntityMessage(const QString &reference)
{
    return QStringLiteral("Entity '%1' is defined outside the document, which is never read").arg(reference);
}

// Where the first parenthesis stands that opens more than maximumNestingDepth levels within one
// markup declaration of `prolog`, or -1. The DOM's parser reads each level of a content model
// (<!ELEMENT a ((b|c),d)>) with one more call of itself, both in the document type declaration and
// in the text of a parameter entity that it inserts there, which is a literal: a declaration, or a
// literal's text, starts again at each '<'. A cut or malformed declaration counts too, since the
// DOM's parser reads as far as it goes.
int tooDeepParenthesis(const QStringRef &prolog)
{
    int depth = 0;
    for (int at = 0; at < prolog.size(); ++at) {
        const QChar character = prolog.at(at);
        if (character == QLatin1Char('<'))
            depth = 0;
        else if (character == QLatin1Char('(') && ++depth > maximumNestingDepth)
            return at;
        else if (character == QLatin1Char(')') && depth > 0)
            --depth;
    }
    return -1;
}

// Follows the markup of the text before the streaming parser is given it, so that a start tag with
// too many attributes is refused before the parser has all of it: only then does it compare them.
// Counts each '=' outside quotes in a start tag, one per attribute; comments, CDATA sections and
// processing instructions are passed over, and a document type declaration until the parser has read
// it (its markup is not a start tag's).
class MarkupScan
{
public:
    // Scans on to `end`; returns where the attribute beyond maximumAttributes is named, or -1.
    int attributeBeyondLimit(const QString &text, int end);

    // Goes on from `position`, where the document type declaration ends.
    void resumeAt(int position)
    {
        at = position;
        state = BeforeMarkup;
    }

private:
    enum State { BeforeMarkup, AfterLessThan, AfterExclamationMark, InStartTag, PassingOver, InDocumentType };

    void passOverUntil(QLatin1String end)
    {
        state = PassingOver;
        passEnd = end;
    }

    int at = 0;
    State state = BeforeMarkup;
    QLatin1String passEnd;
    QChar quote;
    int attributes = 0;
};

// Where `character` next stands from `from` on, before `end`; end - 1 where it does not, so that
// the scan steps on to `end`. Qt finds one character many at a time.
int nextBefore(const QString &text, int from, int end, QLatin1Char character)
{
    const int found = text.midRef(from, end - from).indexOf(character);
    return found < 0 ? end - 1 : from + found;
}

int MarkupScan::attributeBeyondLimit(const QString &text, int end)
{
    for (; at < end; ++at) {
        const QChar character = text.at(at);
        switch (state) {
        case BeforeMarkup:
            at = nextBefore(text, at, end, QLatin1Char('<'));
            state = text.at(at) == QLatin1Char('<') ? AfterLessThan : BeforeMarkup;
            break;
        case AfterLessThan:
            attributes = 0;
            quote = QChar();
            state = InStartTag;
            if (character == QLatin1Char('!'))
                state = AfterExclamationMark;
            else if (character == QLatin1Char('?'))
                passOverUntil(QLatin1String("?>"));
            else if (character == QLatin1Char('/'))
                passOverUntil(QLatin1String(">"));
            break;
        case AfterExclamationMark:
            state = InDocumentType;
            if (character == QLatin1Char('-'))
                passOverUntil(QLatin1String("-->"));
            else if (character == QLatin1Char('['))
                passOverUntil(QLatin1String("]]>"));
            break;
        case PassingOver:
            at = nextBefore(text, at, end, QLatin1Char('>')); // every end of what is passed over ends so
            if (text.midRef(at + 1 - passEnd.size(), passEnd.size()) == passEnd)
                state = BeforeMarkup;
            break;
        case InStartTag:
            if (!quote.isNull())
                quote = character == quote ? QChar() : quote;
            else if (character == QLatin1Char('"') || character == QLatin1Char('\''))
                quote = character;
            else if (character == QLatin1Char('>'))
                state = BeforeMarkup;
            else if (character == QLatin1Char('=') && ++attributes > maximumAttributes)
                return at;
            break;
        case InDocumentType:
            at = end - 1; // until resumeAt()
            break;
        }
    }
    return -1;
}

// The length of the text that `token` gives, entities expanded.
qint64 expandedLength(const QXmlStreamReader &reader, QXmlStreamReader::TokenType token)
{
    if (token == QXmlStreamReader::Characters)
        return reader.text().size();
    if (token != QXmlStreamReader::StartElement)
        return 0;
    const QXmlStreamAttributes attributes = reader.attributes();
    return std::accumulate(attributes.cbegin(), attributes.cend(), qint64(0),
                           [](qint64 length, const QXmlStreamAttribute &attribute) { return length + attribute.value().size(); });
}

// Reads the text with Qt's streaming parser, which keeps no stack per level, before the DOM may see
// any of it. Besides the nesting depth, this refuses what the DOM's parser would quietly get wrong:
// undeclared entities and forbidden characters (it drops them), and references to entities defined
// outside the document (it never reads them, and so loses their text; nor may a document's content
// make the tool read other files). The streaming parser reads such a reference as empty text, so the
// text is searched for them; declaring such entities is harmless. Returns how much of the text it
// passed: all of it, or as far as the reason it stopped, which `refusal` then holds. The text goes
// to the parser in pieces, which it would otherwise copy whole, twice. `prologEnd` receives where
// the root element starts, if it does; `openMarkup` the element inside a content element that is
// still open where the reading stopped.
int streamCheckedLength(const QString &text, ParseError &refusal, int &prologEnd, OpenMarkup &openMarkup)
{
    QXmlStreamReader reader;
    reader.setNamespaceProcessing(false);
    int fed = 0;
    int depth = 0;
    int contentDepth = 0; // of the content element being read, 0 outside one
    QStringList outside;
    MarkupScan markup;
    qint64 expanded = 0;
    const qint64 maximumExpanded = maximumAmplification * text.size() + amplificationAllowance;
    for (int tokenStart = 0;;) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (reader.error() == QXmlStreamReader::PrematureEndOfDocumentError && fed < text.size()) {
            const int pieceEnd = std::min(fed + (1 << 16), text.size());
            const int end = pieceEnd < text.size() && text.at(pieceEnd - 1).isHighSurrogate() ? pieceEnd + 1 : pieceEnd;
            if (const int beyond = markup.attributeBeyondLimit(text, end); beyond >= 0) {
                refusal = errorAfter(text.left(beyond), QStringLiteral("More than %1 attributes on one element").arg(maximumAttributes));
                return beyond;
            }
            reader.addData(text.mid(fed, end - fed));
            fed = end;
            continue;
        }
        if (reader.atEnd())
            break;
        const int tokenEnd = int(reader.characterOffset());
        if (const auto [end, reference] = firstReference(text, tokenStart, tokenEnd, outside); end >= 0) {
            refusal = errorAfter(text.left(end - 1), outsideEntityMessage(reference.mid(1, reference.size() - 2)));
            return end;
        }
        if (token == QXmlStreamReader::StartElement && depth == 0)
            prologEnd = std::min(prologEnd, tokenStart);
        // The DOM sees none of a token refused for what it holds: its parser would take the time or
        // the memory that the limit spares.
        const int thisTokenStart = tokenStart;
        expanded += expandedLength(reader, token);
        if (expanded > maximumExpanded) {
            refusal = errorAt(reader, QStringLiteral("Entities expand the text to more than %1 times the document's length")
                                          .arg(maximumAmplification));
            return thisTokenStart;
        }
        tokenStart = tokenEnd;
        switch (token) {
        case QXmlStreamReader::StartElement:
            if (++depth > maximumNestingDepth) {
                refusal = errorAt(reader, QStringLiteral("Elements nested more than %1 levels deep").arg(maximumNestingDepth));
                return int(reader.characterOffset());
            }
            if (contentDepth > 0 && depth == contentDepth + 1)
                openMarkup = {reader.name().toString(), {int(reader.lineNumber()), int(reader.columnNumber())}};
            else if (contentDepth == 0 && reader.name() == QLatin1String("content"))
                contentDepth = depth;
            break;
        case QXmlStreamReader::EndElement:
            if (depth == contentDepth + 1)
                openMarkup = {};
            else if (depth == contentDepth)
                contentDepth = 0;
            --depth;
            break;
        case QXmlStreamReader::DTD:
            if (reader.entityDeclarations().size() > maximumEntityDeclarations) {
                refusal = errorAt(reader, QStringLiteral("More than %1 entities declared").arg(maximumEntityDeclarations));
                return thisTokenStart;
            }
            outside = outsideReferences(reader.entityDeclarations());
            markup.resumeAt(tokenEnd);
            break;
        case QXmlStreamReader::EntityReference:
            refusal = errorAt(reader, outsideEntityMessage(reader.name().toString()));
            return int(reader.characterOffset());
        default:
            break;
        }
    }
    // A document cut short was still read to its end, so every level of it was checked: the DOM's
    // parser may see it and reports it in its own words, like any other half-written file.
    if (reader.hasError() && reader.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        refusal = errorAt(reader, reader.errorString());
    return int(reader.characterOffset());
}

// Where the XML declaration is looked for: the regular expression's library would check the whole text.
constexpr int declarationStart = 256;

// The text as the checking pass reads it. Qt's streaming parser knows XML 1.0 alone, while the DOM's
// parser reads a 1.1 document as it reads 1.0: the checking pass reads such a document as 1.0, and
// so still refuses what 1.1 adds (control characters written as references, other line ends).
QString asTheCheckingPassReadsIt(const QString &text)
{
    // Compiling the expression would take a small document longer than reading it.
    if (!text.leftRef(declarationStart).contains(QLatin1String("1.1")))
        return text;
    static const QRegularExpression version11(QStringLiteral("^<\\?xml\\s+version\\s*=\\s*([\"'])1\\.1\\1"));
    const QRegularExpressionMatch declaration = version11.match(text.leftRef(declarationStart));
    if (!declaration.hasMatch())
        return text;
    QString asVersion10 = text;
    asVersion10[declaration.capturedEnd() - 2] = QLatin1Char('0');
    return asVersion10;
}

// How much of the text the DOM's parser may see, as streamCheckedLength(), with the nesting of
// parentheses bounded before the root element as well: the streaming parser takes a document type
// declaration as one token, and reads a cut one to its end.
int checkedLength(const QString &text, ParseError &refusal, OpenMarkup &openMarkup)
{
    int prologEnd = text.size();
    const int checked = streamCheckedLength(text, refusal, prologEnd, openMarkup);
    const int tooDeep = tooDeepParenthesis(text.leftRef(std::min(prologEnd, checked)));
    if (tooDeep < 0)
        return checked;
    refusal = errorAfter(text.left(tooDeep),
                         QStringLiteral("Parentheses nested more than %1 levels deep in the document type declaration")
                             .arg(maximumNestingDepth));
    return tooDeep;
}

// Parses `text`, which is refused for `refusalAtEnd` where that is not empty (bytes invalid in the
// encoding follow it). The DOM's parser reads from the start and stops at its first error, so one
// that it finds inside the part the checking pass has passed is the one it finds in the whole
// document, and is reported in its own words. One that it finds only where that part ends comes from
// the cut (it would have read on), and the checking pass's reason stands. Nothing beyond the part
// the checking pass has passed ever reaches the DOM.
bool parseText(const QString &text, const QString &refusalAtEnd, QDomDocument &document, ParseError &error,
               OpenMarkup &openMarkup)
{
    ParseError refusal = refusalAtEnd.isEmpty() ? ParseError() : errorAfter(text, refusalAtEnd);
    const QString checked = text.left(checkedLength(asTheCheckingPassReadsIt(text), refusal, openMarkup));
    if (refusal.message.isEmpty())
        return document.setContent(text, &error.message, &error.line, &error.column);
    const ParseError cut = errorAfter(checked, QString());
    QDomDocument checkedDocument;
    if (checkedDocument.setContent(checked, &error.message, &error.line, &error.column)
        || std::tie(error.line, error.column) >= std::tie(cut.line, cut.column))
        error = refusal;
    return false;
}

// The codec Qt's parsers start with, chosen from a document's first bytes: a byte-order mark, or the
// zero bytes around the '<' that a UTF-16 or UTF-32 document starts with; UTF-8 otherwise.
QTextCodec *startingCodec(const QByteArray &bytes)
{
    // UTF-32 first: its starts begin with those of UTF-16. No byte-order mark begins like these.
    static const std::array<std::pair<QByteArray, const char *>, 4> unmarkedStarts = {{
        {QByteArray("<\0\0\0", 4), "UTF-32LE"},
        {QByteArray("\0\0\0<", 4), "UTF-32BE"},
        {QByteArray("<\0", 2), "UTF-16LE"},
        {QByteArray("\0<", 2), "UTF-16BE"},
    }};
    for (const auto &[documentStart, codecName] : unmarkedStarts) {
        if (bytes.startsWith(documentStart))
            return QTextCodec::codecForName(codecName);
    }
    return QTextCodec::codecForUtfText(bytes, QTextCodec::codecForName("UTF-8"));
}

// An XML declaration that declares an encoding: the second group is the encoding declaration, the
// fourth the encoding's name.
const QRegularExpression encodingDeclaration(
    QStringLiteral("^<\\?xml\\s+version\\s*=\\s*([\"'])[^\"']*\\1(\\s+encoding\\s*=\\s*([\"'])([^\"']*)\\3)"));

// The encoding a document's XML declaration names, or nothing. The declaration is read in the
// codec Qt's parsers start with, and ends at the first '>', whose byte 0x3E is followed by at most
// three more of its character in any encoding.
QByteArray declaredEncoding(const QByteArray &bytes)
{
    const QByteArray start = bytes.left(bytes.indexOf('>') + 4);
    // Qt's streaming reader reads a declaration quicker than the expression is compiled, but
    // refuses that of XML 1.1 and a name that Qt's codecs do not know.
    QXmlStreamReader reader(start);
    reader.readNext();
    if (!reader.hasError())
        return reader.documentEncoding().toLatin1();
    return encodingDeclaration.match(startingCodec(bytes)->toUnicode(start)).captured(4).toLatin1();
}

// Qt's parsers look up the encoding that the declaration names even in text decoded already, and
// refuse a name that Qt's codecs do not know: on Windows, names that only ICU knows. Such a name is
// blanked out with the declaration's length kept, so that columns stay as they were.
void blankEncodingDeclaration(QString &text)
{
    const QRegularExpressionMatch declaration = encodingDeclaration.match(text.leftRef(declarationStart));
    if (declaration.hasMatch())
        text.replace(declaration.capturedStart(2), declaration.capturedLength(2), QString(declaration.capturedLength(2), QLatin1Char(' ')));
}

// Where the decoded text first holds a character that no valid bytes of its encoding give, or -1.
// Only Qt's UTF-8 codec counts invalid bytes; the others decode them, or a character cut short,
// into a half of a surrogate pair without its other half (UTF-16, UTF-32), a replacement character
// (the other multibyte and legacy codecs, which have none of their own to decode; GB18030 has one,
// which a document may hold), or a C1 control (a byte that a windows-125x code page leaves
// undefined: those pages give every defined byte another character).
bool isUnicodeCodec(const QTextCodec &codec)
{
    const int mib = codec.mibEnum();
    return mib == 106 || (mib >= 1013 && mib <= 1019);
}

int firstInvalidCharacter(const QString &text, const QTextCodec &codec, const QByteArray &bytes)
{
    constexpr int gb18030 = 114;
    const bool unicode = isUnicodeCodec(codec)
        || (codec.mibEnum() == gb18030 && bytes.contains(QByteArrayLiteral("\x84\x31\xA4\x37")));
    const bool windowsCodePage = codec.name().startsWith("windows-125");
    for (int at = 0; at < text.size(); ++at) {
        const char16_t character = text.at(at).unicode();
        if (character < 0x80)
            continue;
        if (QChar::isHighSurrogate(character) && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()) {
            ++at;
            continue;
        }
        if (QChar::isSurrogate(character) || (character == QChar::ReplacementCharacter && !unicode)
            || (windowsCodePage && character < 0xA0))
            return at;
    }
    return -1;
}

// Decodes the document as far as its first byte that is invalid in the codec (Qt's codecs would put
// a replacement character in its place and go on). Returns whether all of it was valid. The decoder
// keeps a character cut between two bytes, so fed byte by byte it fails at the first invalid one; a
// codec that keeps such a character to itself shows it when one more byte follows.
bool decodeValidPart(const QByteArray &bytes, const QTextCodec &codec, QString &text)
{
    QTextCodec::ConverterState state;
    text = codec.toUnicode(bytes.constData(), bytes.size(), &state);
    // The probe is one character in every codec but Unicode's, which count what they keep.
    const bool cutShort = state.remainingChars != 0
        || (!isUnicodeCodec(codec) && codec.toUnicode("<", 1, &state) != QLatin1String("<"));
    if (state.invalidChars == 0 && !cutShort) {
        constexpr int utf8 = 106; // which counts what it cannot decode, surrogates too
        const int invalid = codec.mibEnum() == utf8 ? -1 : firstInvalidCharacter(text, codec, bytes);
        if (invalid < 0)
            return true;
        text.truncate(invalid);
        return false;
    }
    if (state.invalidChars == 0)
        return false; // all but the last character, which is cut short
    text.clear();
    QTextDecoder decoder(&codec);
    for (const char byte : bytes) {
        const QString decoded = decoder.toUnicode(&byte, 1);
        if (decoder.hasFailure())
            break;
        text += decoded;
    }
    return false;
}

// Decodes the document as decodeValidPart() does, in the encoding its XML declaration names where
// the tool or Qt reads it, else in the one Qt's parsers start with, as they would. An encoding that
// the tool reads itself in part is one that Qt has on every platform, or that the tool reads
// without Qt's codec where Qt has none (US-ASCII on Windows).
bool decodeDocument(const QByteArray &bytes, QString &text)
{
    const QByteArray declared = declaredEncoding(bytes);
    const QByteArray encoding = commonEncodingName(declared);
    QTextCodec *const codec = QTextCodec::codecForName(encoding);
    const QByteArray codecName = codec != nullptr ? codec->name() : encoding;
    const ValidPartDecoder own = ownDecoder(codecName, [codec](const QByteArray &part, QString &decoded) {
        return decodeValidPart(part, *codec, decoded);
    });
    const bool valid = own ? own(bytes, text) : decodeValidPart(bytes, codec != nullptr ? *codec : *startingCodec(bytes), text);
    if ((own || codec != nullptr) && QTextCodec::codecForName(declared) == nullptr)
        blankEncodingDeclaration(text);
    return valid;
}

bool isReferenceDigit(QChar character, bool hexadecimal)
{
    const auto ascii = static_cast<unsigned char>(character.toLatin1());
    return character.unicode() < 0x80 && (hexadecimal ? std::isxdigit(ascii) != 0 : std::isdigit(ascii) != 0);
}

// Where the character reference that starts at `at` ("&#") ends, and the character it names; an
// end of -1 where no well-formed reference starts there. Values beyond U+10FFFF are never read.
std::pair<int, uint> characterReferenceAt(const QString &text, int at)
{
    constexpr int mostDigits = 8;
    const bool hexadecimal = text.midRef(at + 2, 1) == QLatin1String("x");
    const int digitsStart = at + (hexadecimal ? 3 : 2);
    int end = digitsStart;
    while (end < text.size() && end - digitsStart < mostDigits && isReferenceDigit(text.at(end), hexadecimal))
        ++end;
    if (end == digitsStart || end >= text.size() || text.at(end) != QLatin1Char(';'))
        return {-1, 0};
    return {end + 1, text.midRef(digitsStart, end - digitsStart).toUInt(nullptr, hexadecimal ? 16 : 10)};
}

// Qt's DOM parser keeps only the low 16 bits of a character reference: &#x20B9F; would be read as
// U+0B9F, &#x10000; as a NUL and &#x1003C;leftSet> as a marker. So every reference to a character
// beyond U+FFFF, in text and in attribute values, is given to it as the character itself, which XML
// reads alike. Comments, CDATA sections and processing instructions hold no references and are
// passed over. A parse error later on such a line counts the character in its column, not the
// reference.
bool holdsCharacterReference(const QString &text)
{
    for (int at = text.indexOf(QLatin1Char('&')); at >= 0; at = text.indexOf(QLatin1Char('&'), at + 1)) {
        if (text.midRef(at + 1, 1) == QLatin1String("#"))
            return true;
    }
    return false;
}

void writeOutCharactersBeyondU16(QString &text)
{
    // Qt finds a single character many at a time, a string of two one at a time.
    if (!holdsCharacterReference(text))
        return;
    static const std::array<std::pair<QLatin1String, QLatin1String>, 3> literalSpans = {{
        {QLatin1String("<!--"), QLatin1String("-->")},
        {QLatin1String("<![CDATA["), QLatin1String("]]>")},
        {QLatin1String("<?"), QLatin1String("?>")},
    }};
    QString written;
    int copied = 0;
    for (int at = 0; at < text.size(); ++at) {
        if (text.at(at) == QLatin1Char('<')) {
            for (const auto &[start, end] : literalSpans) {
                if (text.midRef(at, start.size()) == start) {
                    const int close = text.indexOf(end, at + start.size());
                    at = close < 0 ? text.size() : close + end.size() - 1;
                    break;
                }
            }
            continue;
        }
        if (text.midRef(at, 2) != QLatin1String("&#"))
            continue;
        const auto [end, character] = characterReferenceAt(text, at);
        if (end < 0 || character < 0x10000 || character > 0x10FFFF)
            continue;
        written += text.midRef(copied, at - copied);
        written += QChar(QChar::highSurrogate(character));
        written += QChar(QChar::lowSurrogate(character));
        copied = end;
        at = end - 1;
    }
    if (copied > 0)
        text = written + text.midRef(copied);
}

// Parses a file's bytes as Qt's parsers decode them, with each CR LF and each lone CR read as one
// line feed, as XML reads line ends.
bool parseFileContent(QByteArray bytes, QDomDocument &document, ParseError &error, OpenMarkup &openMarkup)
{
    QString text;
    const bool valid = decodeDocument(bytes, text);
    bytes.clear(); // a large source's bytes need not stay beside its text and its document
    if (text.contains(QLatin1Char('\r'))) // the quick look spares most documents a slow search for CR LF
        text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    writeOutCharactersBeyondU16(text);
    return parseText(text, valid ? QString() : QStringLiteral("Encountered incorrectly encoded content."), document, error,
                     openMarkup);
}

void reportParseError(Diagnostics &diagnostics, const ParseError &error, const OpenMarkup &openMarkup)
{
    diagnostics.report(Diagnostics::Error, {error.line, error.column}, error.message);
    if (!openMarkup.name.isEmpty())
        diagnostics.report(Diagnostics::Note, openMarkup.position,
                           QStringLiteral("<%1> inside content is read as a start tag that is never closed: write "
                                          "&lt;%1> or put the lines in CDATA")
                               .arg(openMarkup.name));
}

// The largest file that the tool reads: what one byte array holds.
constexpr qint64 largestDocumentBytes = std::numeric_limits<int>::max();

// Why the file at `path` may not be opened as a document, or nothing: a named pipe would have the
// tool wait for a writer that may never come, a device or a folder holds no document, and a file
// larger than the tool reads need not be read to be refused. A missing file is left to fail as it
// opens.
QString whyNotToOpen(const QFileInfo &file)
{
    if (file.exists() && !file.isFile())
        return QStringLiteral("not a regular file");
    if (file.size() > largestDocumentBytes)
        return QStringLiteral("too large: %1 bytes, and a document may have at most %2").arg(file.size()).arg(largestDocumentBytes);
    return {};
}

// Opens and parses the file at `path` into `document`. Prints `openFailureLine` when the file
// cannot be opened and the parse-error line when it is not a document the tool can use, and tells
// `diagnostics` (if given) why, where and what may mend it.
bool readDocument(const QString &path, const QString &openFailureLine, QDomDocument &document, Diagnostics *diagnostics)
{
    QFile file(path);
    QString notOpened = whyNotToOpen(QFileInfo(path));
    if (notOpened.isEmpty() && !file.open(QIODevice::ReadOnly))
        notOpened = file.errorString();
    if (!notOpened.isEmpty()) {
        printConsoleLine(openFailureLine);
        if (diagnostics != nullptr)
            diagnostics->report(Diagnostics::Error, {}, QStringLiteral("cannot be opened: ") + notOpened);
        return false;
    }
    ParseError error;
    OpenMarkup openMarkup;
    if (!parseFileContent(file.readAll(), document, error, openMarkup)) {
        printConsoleLine(QStringLiteral("Parse error") + error.message + QStringLiteral("Line:")
                         + QString::number(error.line) + QStringLiteral("Column:") + QString::number(error.column));
        if (diagnostics != nullptr)
            reportParseError(*diagnostics, error, openMarkup);
        return false;
    }
    return true;
}

// A source without its section is left out whole; a child of the root that differs only in letter
// case is the likely cause.
void reportNoSection(Diagnostics &diagnostics, const QDomElement &root, const QString &tag)
{
    QString hint;
    for (QDomElement child = root.firstChildElement(); !child.isNull() && hint.isEmpty(); child = child.nextSiblingElement()) {
        if (child.tagName().compare(tag, Qt::CaseInsensitive) == 0)
            hint = QStringLiteral("; <%1> on line %2 is not %3: names differ in letter case")
                       .arg(child.tagName(), QString::number(child.lineNumber()), tag);
    }
    diagnostics.report(Diagnostics::Error, positionOf(root),
                       QStringLiteral("the root element <%1> has no child <%2>: nothing is converted").arg(root.tagName(), tag)
                           + hint);
}

} // namespace

QDomNode ConfigGenerator::loadTemplateRoot(QDomDocument &document, Diagnostics *diagnostics)
{
    if (!readDocument(templatePath,
                      QStringLiteral("Invalid file path.Please Check PostProcessorTemplate.xml is existed?"),
                      document, diagnostics))
        return {};
    return document.documentElement();
}

QDomNode ConfigGenerator::loadSectionElement(const QString &path, const QString &tag, QDomDocument &document,
                                             Diagnostics *diagnostics)
{
    if (!readDocument(path, QStringLiteral("Invalid file path"), document, diagnostics))
        return {};
    const QDomElement section = document.documentElement().firstChildElement(tag);
    if (section.isNull() && diagnostics != nullptr)
        reportNoSection(*diagnostics, document.documentElement(), tag);
    return section;
}
