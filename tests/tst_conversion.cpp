#include "configgenerator.h"
#include "consolecapture.h"
#include "hostilexml.h"

#include <QDir>
#include <QDomElement>
#include <QDomNamedNodeMap>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// A compact, order-independent picture of a node: tag, attributes sorted by name, then each
// child element with its text nodes quoted, e.g. Configulation[Name=L ...] Item"T1" Coordinate.
QString describeChildren(const QDomNode &node)
{
    QString described;
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling()) {
        described += QLatin1Char(' ') + child.nodeName();
        for (QDomNode text = child.firstChild(); !text.isNull(); text = text.nextSibling())
            described += text.isText() ? QLatin1Char('"') + text.nodeValue() + QLatin1Char('"') : QStringLiteral("<?>");
    }
    return described;
}

QString describe(const QDomNode &node)
{
    if (node.isNull())
        return QStringLiteral("null");
    QStringList attributes;
    const QDomNamedNodeMap map = node.attributes();
    for (int i = 0; i < map.count(); ++i)
        attributes << map.item(i).nodeName() + QLatin1Char('=') + map.item(i).nodeValue();
    attributes.sort();
    return node.nodeName() + QLatin1Char('[') + attributes.join(QLatin1Char(' ')) + QLatin1Char(']')
        + describeChildren(node);
}

const QString leftRow = QStringLiteral("Configulation[Image=left.png Name=L NickName=LeftHand Prefix= Suffix=.nc]");
const QString rightRow = QStringLiteral("Configulation[Image=right.png Name=R NickName=RightHand Prefix= Suffix=.nc]");

QString serialized(const QDomNode &node)
{
    QString text;
    QTextStream stream(&text);
    node.save(stream, 4);
    return text;
}

constexpr int maximumDepth = 256;

QString tooDeep(int line, int column)
{
    return QStringLiteral("Parse errorElements nested more than 256 levels deepLine:%1Column:%2\n").arg(line).arg(column);
}

QString contentModelTooDeep(int line, int column)
{
    return QStringLiteral("Parse errorParentheses nested more than 256 levels deep in the document type declarationLine:%1Column:%2\n")
        .arg(line)
        .arg(column);
}

// The parse-error line for `message` where Qt's streaming parser stands after the first token of
// `type` in `document`.
QString refusedAfterFirst(const QByteArray &document, QXmlStreamReader::TokenType type, const QString &message)
{
    QXmlStreamReader reader(document);
    while (!reader.atEnd() && reader.readNext() != type) {
    }
    return QStringLiteral("Parse error%1Line:%2Column:%3\n").arg(message).arg(reader.lineNumber()).arg(reader.columnNumber());
}

QByteArray withAttributes(int count)
{
    QByteArray element = "<job";
    for (int number = 0; number < count; ++number)
        element += " a" + QByteArray::number(number) + "='1'";
    return element + "><mainFiles/></job>";
}

QByteArray withEntities(int count)
{
    QByteArray declarations;
    for (int number = 0; number < count; ++number)
        declarations += "<!ENTITY e" + QByteArray::number(number) + " 'x'>";
    return "<!DOCTYPE job [" + declarations + "]><job><mainFiles/></job>";
}

// One entity of 1,000 characters used `uses` times.
QByteArray withReferences(int uses)
{
    return "<!DOCTYPE job [<!ENTITY e '" + QByteArray(1000, 'x') + "'>]><job><mainFiles><f>" + QByteArray("&e;").repeated(uses)
        + "</f></mainFiles></job>";
}

// The 257th parenthesis of nestedContentModel() stands on its second line after "<!ELEMENT job ".
const QString nestedContentModelTooDeep = contentModelTooDeep(2, 14 + maximumDepth + 1);

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Line ends are read as XML reads them, in every encoding: CR LF and a lone CR are each one line
// feed. UTF-16 writes a byte 0x0D in carriage returns and in some letters too: U+010D and U+0D21 here.
void addLineEndRows()
{
    const QString document = QStringLiteral("<job>\n<mainFiles>\n<f>\u0160\u010D\u010D\n\u010D \u0D21</f>\n</mainFiles>\n</job>\n");
    const QString section = QStringLiteral("mainFiles[] f\"\u0160\u010D\u010D\n\u010D \u0D21\"");
    const QString windowsDocument = QString(document).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    QTest::newRow("UTF-8, CRLF") << windowsDocument.toUtf8() << section << "";
    for (const QString &text : {document, windowsDocument}) {
        const char *const lineEnds = text == document ? "LF" : "CRLF";
        QTest::addRow("UTF-16LE, %s", lineEnds) << utf16WithByteOrderMark(text, QSysInfo::LittleEndian) << section << "";
        QTest::addRow("UTF-16BE, %s", lineEnds) << utf16WithByteOrderMark(text, QSysInfo::BigEndian) << section << "";
    }
    QTest::newRow("UTF-16LE without byte-order mark, CRLF")
        << utf16WithByteOrderMark(windowsDocument, QSysInfo::LittleEndian).mid(2) << section << "";
    const QString declaration = QStringLiteral("<?xml version='1.0' encoding='%1'?>\r\n");
    QTest::newRow("UTF-16BE declaring UTF-16, CRLF")
        << utf16WithByteOrderMark(declaration.arg("UTF-16") + windowsDocument, QSysInfo::BigEndian) << section << "";
    QTest::newRow("UTF-16LE declaring UTF-8") << utf16WithByteOrderMark(declaration.arg("UTF-8") + document, QSysInfo::LittleEndian)
                                              << "null" << "Parse errorEncountered incorrectly encoded content.Line:1Column:1\n";

    const QString loneAndBlank = QStringLiteral("<job>\r\n\r\n<mainFiles>\r\n<f>A1\rA2\r\n\r\n\r\nT1</f>\r\n</mainFiles></job>");
    const QString loneAndBlankSection = QStringLiteral("mainFiles[] f\"A1\nA2\n\n\nT1\"");
    QTest::newRow("UTF-8, lone CR and blank CRLF lines") << loneAndBlank.toUtf8() << loneAndBlankSection << "";
    QTest::newRow("UTF-16BE, lone CR and blank CRLF lines")
        << utf16WithByteOrderMark(loneAndBlank, QSysInfo::BigEndian) << loneAndBlankSection << "";
    const QString carriageReturnsOnly = QStringLiteral("<job>\r<mainFiles>\r<f>\rT1 M6\r&lt;leftSet>\rG0 X1\r</f></mainFiles></job>\r");
    const QString threeLines = QStringLiteral("mainFiles[] f\"\nT1 M6\n<leftSet>\nG0 X1\n\"");
    QTest::newRow("UTF-8, CR only") << carriageReturnsOnly.toUtf8() << threeLines << "";
    QTest::newRow("UTF-16LE, CR only") << utf16WithByteOrderMark(carriageReturnsOnly, QSysInfo::LittleEndian) << threeLines << "";
    QTest::newRow("UTF-32BE, CR only") << QTextCodec::codecForName("UTF-32BE")->fromUnicode(carriageReturnsOnly) << threeLines << "";

    // Error positions count the line ends as XML reads them.
    const QString truncated = QStringLiteral("<job>\r\n  <mainFiles>\r\r\u010D");
    const QByteArray truncatedAsRead = QString(truncated).replace(QLatin1Char('\r'), QLatin1Char('\n')).remove(6, 1).toUtf8();
    QTest::newRow("UTF-8 truncated, CRLF and CR") << truncated.toUtf8() << "null" << domErrorLine(truncatedAsRead);
    QTest::newRow("UTF-16LE truncated, CRLF and CR")
        << utf16WithByteOrderMark(truncated, QSysInfo::LittleEndian) << "null" << domErrorLine(truncatedAsRead);
    const QByteArray mismatched = "<job>\r\n<mainFiles>\r\r</mainfiles>\r\n</job>";
    QTest::newRow("UTF-8 mismatched tag, CRLF and CR")
        << mismatched << "null" << domErrorLine("<job>\n<mainFiles>\n\n</mainfiles>\n</job>");
    QTest::newRow("UTF-16BE mismatched tag, CRLF and CR")
        << utf16WithByteOrderMark(QString::fromLatin1(mismatched), QSysInfo::BigEndian) << "null"
        << domErrorLine("<job>\n<mainFiles>\n\n</mainfiles>\n</job>");
}

// A document in each encoding that shops use, valid and with each kind of fault. Every byte and
// every expected value was made by tests/encoding-rows.py with Python's strict codecs: the
// characters a valid document holds, and for a faulty one the line and column where its first
// invalid byte stands.
void addEncodingRows()
{
    QTest::newRow("Shift_JIS, valid") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22Shift_JIS\x22\x3F>\x0A<job><mainFiles>\x0A<f>\x93\xFA\x96{</f></mainFiles></job>", 89) << QString::fromUtf8(u8"mainFiles[] f\"\u65E5\u672C\"") << "";
    QTest::newRow("Shift_JIS, bad trail byte") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22Shift_JIS\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x81 B</f></mainFiles></job>", 89) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("Shift_JIS, byte 0xFF") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22Shift_JIS\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\xFF""B</f></mainFiles></job>", 88) << QString::fromUtf8(u8"mainFiles[] f\"A\uF8F3B\"") << "";
    QTest::newRow("Shift_JIS, lead byte at the end") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22Shift_JIS\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x82</f></mainFiles></job>", 87) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("Shift_JIS, what JIS calls wave dash, double vertical line, minus, cent, pound and not") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22Shift_JIS\x22\x3F>\x0A<job><mainFiles>\x0A<f>\x81`\x81""a\x81|\x81\x91\x81\x92\x81\xCA</f></mainFiles></job>", 97) << QString::fromUtf8(u8"mainFiles[] f\"\uFF5E\u2225\uFF0D\uFFE0\uFFE1\uFFE2\"") << "";
    QTest::newRow("Shift_JIS, single bytes that libraries read otherwise") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22Shift_JIS\x22\x3F>\x0A<job><mainFiles>\x0A<f>\x7F\x80\xA0\xFD\xFE\xFF</f></mainFiles></job>", 91) << QString::fromUtf8(u8"mainFiles[] f\"\u007F\u0080\uF8F0\uF8F1\uF8F2\uF8F3\"") << "";
    QTest::newRow("Shift_JIS, undefined pair") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22Shift_JIS\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x85@B</f></mainFiles></job>", 89) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("Shift_JIS, user-defined area") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22Shift_JIS\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xF0@\xF9\xFC</f></mainFiles></job>", 89) << QString::fromUtf8(u8"mainFiles[] f\"\uE000\uE757\"") << "";
    QTest::newRow("Shift_JIS, lead byte before markup") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22Shift_JIS\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x81</f></f></mainFiles></job>", 91) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("Windows-31J, NEC extensions") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22Windows-31J\x22\x3F>\x0A<job><mainFiles>\x0A<f>\x87@\x87U\x87\x82\x87\x8A\x87o</f></mainFiles></job>", 97) << QString::fromUtf8(u8"mainFiles[] f\"\u2460\u2161\u2116\u3231\u339C\"") << "";
    QTest::newRow("CP932, NEC-selected IBM extensions") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""CP932\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xEE\xE0\xED\x95</f></mainFiles></job>", 85) << QString::fromUtf8(u8"mainFiles[] f\"\u9AD9\uFA11\"") << "";
    QTest::newRow("ms932, IBM extensions") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22ms932\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xFA@\xFB\xFC</f></mainFiles></job>", 85) << QString::fromUtf8(u8"mainFiles[] f\"\u2170\u9AD9\"") << "";
    QTest::newRow("SJIS, NEC extension") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22SJIS\x22\x3F>\x0A<job><mainFiles>\x0A<f>\x87@</f></mainFiles></job>", 82) << QString::fromUtf8(u8"mainFiles[] f\"\u2460\"") << "";
    QTest::newRow("windows-932, bad trail byte") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22windows-932\x22\x3F>\x0A<job><mainFiles>\x0A<f>\x87<</f></mainFiles></job>", 89) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:4\n";
    QTest::newRow("x-sjis, halfwidth katakana") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22x-sjis\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xB1\xDD</f></mainFiles></job>", 84) << QString::fromUtf8(u8"mainFiles[] f\"\uFF71\uFF9D\"") << "";
    QTest::newRow("shift_jis, in lower case") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22shift_jis\x22\x3F>\x0A<job><mainFiles>\x0A<f>\x81`</f></mainFiles></job>", 87) << QString::fromUtf8(u8"mainFiles[] f\"\uFF5E\"") << "";
    QTest::newRow("EUC-JP, valid") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""EUC-JP\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xC6\xFC\xCB\xDC</f></mainFiles></job>", 86) << QString::fromUtf8(u8"mainFiles[] f\"\u65E5\u672C\"") << "";
    QTest::newRow("EUC-JP, bad trail byte") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""EUC-JP\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\xA4 B</f></mainFiles></job>", 86) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("EUC-JP, JIS forms of wave dash, double vertical line, cent, pound and not") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""EUC-JP\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xA1\xC1\xA1\xC2\xA1\xF1\xA1\xF2\xA2\xCC</f></mainFiles></job>", 92) << QString::fromUtf8(u8"mainFiles[] f\"\u301C\u2016\u00A2\u00A3\u00AC\"") << "";
    QTest::newRow("EUC-JP, NEC extension") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""EUC-JP\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\xAD\xA1""B</f></mainFiles></job>", 86) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("EUC-JP, IBM extension") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""EUC-JP\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\xF9\xA1""B</f></mainFiles></job>", 86) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("EUC-JP, IBM extension after JIS X 0212 shift") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""EUC-JP\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x8F\xF3\xA1""B</f></mainFiles></job>", 87) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("EUC-JP, byte that leads nothing") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""EUC-JP\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x85""B</f></mainFiles></job>", 85) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("EUC-JP, single shift before a byte beyond halfwidth katakana") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""EUC-JP\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x8E\xE0""B</f></mainFiles></job>", 86) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("EUC-JP, JIS X 0212 and halfwidth katakana") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""EUC-JP\x22\x3F>\x0A<job><mainFiles>\x0A<f>\x8F\xB0\xA1\x8E\xB1</f></mainFiles></job>", 87) << QString::fromUtf8(u8"mainFiles[] f\"\u4E02\uFF71\"") << "";
    QTest::newRow("ujis, name that only ICU knows") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22ujis\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xC6\xFC\xCB\xDC</f></mainFiles></job>", 84) << QString::fromUtf8(u8"mainFiles[] f\"\u65E5\u672C\"") << "";
    QTest::newRow("GB18030, valid, four bytes and beyond U+FFFF") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22GB18030\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xD6\xD0\xA2\xE3\x95""2\x82""6</f></mainFiles></job>", 91) << QString::fromUtf8(u8"mainFiles[] f\"\u4E2D\u20AC\U00020000\"") << "";
    QTest::newRow("GB18030, invalid sequence") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22GB18030\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x81 B</f></mainFiles></job>", 87) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("GB18030, last character beyond U+FFFF") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22GB18030\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xE3""2\x9A""5</f></mainFiles></job>", 87) << QString::fromUtf8(u8"mainFiles[] f\"\U0010FFFF\"") << "";
    QTest::newRow("GB18030, four bytes beyond U+10FFFF") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22GB18030\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\xE3""2\x9A""6</f></mainFiles></job>", 88) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("GB18030, four bytes with a bad third byte") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22GB18030\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x95""2 6</f></mainFiles></job>", 88) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("GB18030, four bytes cut short") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22GB18030\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x95""2\x82</f></mainFiles></job>", 87) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("GB18030, the two characters that GB18030-2005 moved") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22GB18030\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xA8\xBC\x81""5\xF4""7</f></mainFiles></job>", 89) << QString::fromUtf8(u8"mainFiles[] f\"\uE7C7\u1E3F\"") << "";
    QTest::newRow("windows-54936, name that only ICU knows") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22windows-54936\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xD6\xD0</f></mainFiles></job>", 91) << QString::fromUtf8(u8"mainFiles[] f\"\u4E2D\"") << "";
    QTest::newRow("GBK, valid") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22GBK\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xD6\xD0\xCE\xC4</f></mainFiles></job>", 83) << QString::fromUtf8(u8"mainFiles[] f\"\u4E2D\u6587\"") << "";
    QTest::newRow("GBK, invalid sequence") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22GBK\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x81 B</f></mainFiles></job>", 83) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("Big5, valid") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""Big5\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xA4\xA4\xA4\xE5</f></mainFiles></job>", 84) << QString::fromUtf8(u8"mainFiles[] f\"\u4E2D\u6587\"") << "";
    QTest::newRow("Big5, invalid sequence") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""Big5\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x81 B</f></mainFiles></job>", 84) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("GB2312, character that only GBK has") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22GB2312\x22\x3F>\x0A<job><mainFiles>\x0A<f>\x81@</f></mainFiles></job>", 84) << QString::fromUtf8(u8"mainFiles[] f\"\u4E02\"") << "";
    QTest::newRow("EUC-CN, name that only ICU knows") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""EUC-CN\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xD6\xD0\xCE\xC4</f></mainFiles></job>", 86) << QString::fromUtf8(u8"mainFiles[] f\"\u4E2D\u6587\"") << "";
    QTest::newRow("CP936, valid") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""CP936\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xD6\xD0\xCE\xC4</f></mainFiles></job>", 85) << QString::fromUtf8(u8"mainFiles[] f\"\u4E2D\u6587\"") << "";
    QTest::newRow("csBig5, name that only ICU knows") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""csBig5\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xA4\xA4\xA4\xE5</f></mainFiles></job>", 86) << QString::fromUtf8(u8"mainFiles[] f\"\u4E2D\u6587\"") << "";
    QTest::newRow("CP950, name that only Qt knows") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""CP950\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xA4\xA4\xA4\xE5</f></mainFiles></job>", 85) << QString::fromUtf8(u8"mainFiles[] f\"\u4E2D\u6587\"") << "";
    QTest::newRow("EUC-KR, character that only code page 949 has") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""EUC-KR\x22\x3F>\x0A<job><mainFiles>\x0A<f>\x81""A</f></mainFiles></job>", 84) << QString::fromUtf8(u8"mainFiles[] f\"\uAC02\"") << "";
    QTest::newRow("EUC-KR, invalid sequence") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""EUC-KR\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x81 B</f></mainFiles></job>", 86) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("KS_C_5601-1987, valid") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22KS_C_5601-1987\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xC7\xD1\xB1\xB9</f></mainFiles></job>", 94) << QString::fromUtf8(u8"mainFiles[] f\"\uD55C\uAD6D\"") << "";
    QTest::newRow("cp949, valid") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""cp949\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xC7\xD1\xB1\xB9</f></mainFiles></job>", 85) << QString::fromUtf8(u8"mainFiles[] f\"\uD55C\uAD6D\"") << "";
    QTest::newRow("windows-874, valid") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22windows-874\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xA1\x80</f></mainFiles></job>", 89) << QString::fromUtf8(u8"mainFiles[] f\"\u0E01\u20AC\"") << "";
    QTest::newRow("IBM850, byte 0x7F") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22IBM850\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x7F""B</f></mainFiles></job>", 85) << "mainFiles[] f\"A\u007FB\"" << "";
    QTest::newRow("windows-866, byte 0x7F") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22windows-866\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xAF\x7F</f></mainFiles></job>", 89) << QString::fromUtf8(u8"mainFiles[] f\"\u043F\u007F\"") << "";
    QTest::newRow("ISO-8859-7, additions of 2003") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22ISO-8859-7\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xA4\xA5\xAA</f></mainFiles></job>", 89) << QString::fromUtf8(u8"mainFiles[] f\"\u20AC\u20AF\u037A\"") << "";
    QTest::newRow("ISO-8859-8, macron and direction marks") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22ISO-8859-8\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xAF\xFD\xFE</f></mainFiles></job>", 89) << QString::fromUtf8(u8"mainFiles[] f\"\u00AF\u200E\u200F\"") << "";
    QTest::newRow("windows-1253, undefined byte 0xAA") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22windows-1253\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\xAA""B</f></mainFiles></job>", 91) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("l9, name that only ICU knows") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22l9\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xA4</f></mainFiles></job>", 79) << QString::fromUtf8(u8"mainFiles[] f\"\u20AC\"") << "";
    QTest::newRow("US-ASCII, valid") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22US-ASCII\x22\x3F>\x0A<job><mainFiles>\x0A<f>T1 M6</f></mainFiles></job>", 89) << "mainFiles[] f\"T1 M6\"" << "";
    QTest::newRow("US-ASCII, byte above 0x7F") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22US-ASCII\x22\x3F>\x0A<job><mainFiles>\x0A<f>caf\xE9</f></mainFiles></job>", 88) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:7\n";
    QTest::newRow("ASCII, valid") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""ASCII\x22\x3F>\x0A<job><mainFiles>\x0A<f>T1 M6</f></mainFiles></job>", 86) << "mainFiles[] f\"T1 M6\"" << "";
    QTest::newRow("ASCII, byte above 0x7F") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""ASCII\x22\x3F>\x0A<job><mainFiles>\x0A<f>caf\xE9</f></mainFiles></job>", 85) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:7\n";
    QTest::newRow("ANSI_X3.4-1968, byte above 0x7F") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""ANSI_X3.4-1968\x22\x3F>\x0A<job><mainFiles>\x0A<f>\x80</f></mainFiles></job>", 91) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:4\n";
    QTest::newRow("windows-1252, valid") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22windows-1252\x22\x3F>\x0A<job><mainFiles>\x0A<f>\x80 \x89</f></mainFiles></job>", 91) << QString::fromUtf8(u8"mainFiles[] f\"\u20AC \u2030\"") << "";
    QTest::newRow("windows-1252, undefined byte") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22windows-1252\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x81""B</f></mainFiles></job>", 91) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("windows-1252, undefined byte 0x9D") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22windows-1252\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x9D""B</f></mainFiles></job>", 91) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("windows-1250, valid") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22windows-1250\x22\x3F>\x0A<job><mainFiles>\x0A<f>\x8A\xE8</f></mainFiles></job>", 90) << QString::fromUtf8(u8"mainFiles[] f\"\u0160\u010D\"") << "";
    QTest::newRow("windows-1250, undefined byte") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22windows-1250\x22\x3F>\x0A<job><mainFiles>\x0A<f>A\x98""B</f></mainFiles></job>", 91) << "null" << "Parse errorEncountered incorrectly encoded content.Line:3Column:5\n";
    QTest::newRow("GBK, euro sign as code page 936 writes it") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22GBK\x22\x3F>\x0A<job><mainFiles>\x0A<f>\x80</f></mainFiles></job>", 80) << QString::fromUtf8(u8"mainFiles[] f\"\u20AC\"") << "";
    QTest::newRow("GBK, what code page 936 puts in the private use area") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22GBK\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xA2\xE3</f></mainFiles></job>", 81) << QString::fromUtf8(u8"mainFiles[] f\"\uE76C\"") << "";
    QTest::newRow("GBK, byte 0xFF") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22GBK\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xFF</f></mainFiles></job>", 80) << QString::fromUtf8(u8"mainFiles[] f\"\uF8F5\"") << "";
    QTest::newRow("windows-949, byte 0xFF") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22windows-949\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xFF</f></mainFiles></job>", 88) << QString::fromUtf8(u8"mainFiles[] f\"\uF8F7\"") << "";
    QTest::newRow("Big5, bytes 0x80 and 0xFF") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""Big5\x22\x3F>\x0A<job><mainFiles>\x0A<f>\x80\xFF</f></mainFiles></job>", 82) << QString::fromUtf8(u8"mainFiles[] f\"\u0080\uF8F8\"") << "";
    QTest::newRow("TIS-620, bytes that Thai leaves undefined") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22TIS-620\x22\x3F>\x0A<job><mainFiles>\x0A<f>\xDB\xFF</f></mainFiles></job>", 85) << QString::fromUtf8(u8"mainFiles[] f\"\uF8C1\uF8C8\"") << "";
    QTest::newRow("ascii, byte above 0x7F on the line of the declaration") << QByteArray("<\x3Fxml version=\x22""1.0\x22 encoding=\x22""ascii\x22 standalone=\x22yes\x22\x3F><job><mainFiles><f>caf\xE9</f></mainFiles></job>", 100) << "null" << "Parse errorEncountered incorrectly encoded content.Line:1Column:78\n";
    QTest::newRow("cp932, on the line of the declaration") << QByteArray("<\x3Fxml version='1.0' encoding='cp932'\x3F><job><mainFiles><f>\x87@</f></mainFiles></job>", 81) << QString::fromUtf8(u8"mainFiles[] f\"\u2460\"") << "";
    QTest::newRow("UTF-16LE, unpaired high surrogate") << QByteArray("\xFF\xFE<\x00j\x00o\x00""b\x00>\x00<\x00m\x00""a\x00i\x00n\x00""F\x00i\x00l\x00""e\x00s\x00>\x00\x0A\x00<\x00""f\x00>\x00""A\x00\x00\xD8""B\x00<\x00/\x00""f\x00>\x00<\x00/\x00m\x00""a\x00i\x00n\x00""F\x00i\x00l\x00""e\x00s\x00>\x00<\x00/\x00j\x00o\x00""b\x00>\x00", 92) << "null" << "Parse errorEncountered incorrectly encoded content.Line:2Column:5\n";
    QTest::newRow("UTF-16LE, unpaired low surrogate") << QByteArray("\xFF\xFE<\x00j\x00o\x00""b\x00>\x00<\x00m\x00""a\x00i\x00n\x00""F\x00i\x00l\x00""e\x00s\x00>\x00\x0A\x00<\x00""f\x00>\x00""A\x00\x00\xDC""B\x00<\x00/\x00""f\x00>\x00<\x00/\x00m\x00""a\x00i\x00n\x00""F\x00i\x00l\x00""e\x00s\x00>\x00<\x00/\x00j\x00o\x00""b\x00>\x00", 92) << "null" << "Parse errorEncountered incorrectly encoded content.Line:2Column:5\n";
    QTest::newRow("UTF-16BE, pair beyond U+FFFF") << QByteArray("\xFE\xFF\x00<\x00j\x00o\x00""b\x00>\x00<\x00m\x00""a\x00i\x00n\x00""F\x00i\x00l\x00""e\x00s\x00>\x00\x0A\x00<\x00""f\x00>\xD8=\xDE\x00\x00<\x00/\x00""f\x00>\x00<\x00/\x00m\x00""a\x00i\x00n\x00""F\x00i\x00l\x00""e\x00s\x00>\x00<\x00/\x00j\x00o\x00""b\x00>", 90) << QString::fromUtf8(u8"mainFiles[] f\"\U0001F600\"") << "";
    QTest::newRow("UTF-32LE, value above U+10FFFF") << QByteArray("\xFF\xFE\x00\x00<\x00\x00\x00j\x00\x00\x00o\x00\x00\x00""b\x00\x00\x00>\x00\x00\x00<\x00\x00\x00m\x00\x00\x00""a\x00\x00\x00i\x00\x00\x00n\x00\x00\x00""F\x00\x00\x00i\x00\x00\x00l\x00\x00\x00""e\x00\x00\x00s\x00\x00\x00>\x00\x00\x00\x0A\x00\x00\x00<\x00\x00\x00""f\x00\x00\x00>\x00\x00\x00""A\x00\x00\x00\x00\x00\x11\x00<\x00\x00\x00/\x00\x00\x00""f\x00\x00\x00>\x00\x00\x00<\x00\x00\x00/\x00\x00\x00m\x00\x00\x00""a\x00\x00\x00i\x00\x00\x00n\x00\x00\x00""F\x00\x00\x00i\x00\x00\x00l\x00\x00\x00""e\x00\x00\x00s\x00\x00\x00>\x00\x00\x00<\x00\x00\x00/\x00\x00\x00j\x00\x00\x00o\x00\x00\x00""b\x00\x00\x00>\x00\x00\x00", 180) << "null" << "Parse errorEncountered incorrectly encoded content.Line:2Column:5\n";
    QTest::newRow("UTF-32LE, surrogate") << QByteArray("\xFF\xFE\x00\x00<\x00\x00\x00j\x00\x00\x00o\x00\x00\x00""b\x00\x00\x00>\x00\x00\x00<\x00\x00\x00m\x00\x00\x00""a\x00\x00\x00i\x00\x00\x00n\x00\x00\x00""F\x00\x00\x00i\x00\x00\x00l\x00\x00\x00""e\x00\x00\x00s\x00\x00\x00>\x00\x00\x00\x0A\x00\x00\x00<\x00\x00\x00""f\x00\x00\x00>\x00\x00\x00""A\x00\x00\x00\x00\xD8\x00\x00<\x00\x00\x00/\x00\x00\x00""f\x00\x00\x00>\x00\x00\x00<\x00\x00\x00/\x00\x00\x00m\x00\x00\x00""a\x00\x00\x00i\x00\x00\x00n\x00\x00\x00""F\x00\x00\x00i\x00\x00\x00l\x00\x00\x00""e\x00\x00\x00s\x00\x00\x00>\x00\x00\x00<\x00\x00\x00/\x00\x00\x00j\x00\x00\x00o\x00\x00\x00""b\x00\x00\x00>\x00\x00\x00", 180) << "null" << "Parse errorEncountered incorrectly encoded content.Line:2Column:5\n";
    QTest::newRow("UTF-32BE, beyond U+FFFF") << QByteArray("\x00\x00\xFE\xFF\x00\x00\x00<\x00\x00\x00j\x00\x00\x00o\x00\x00\x00""b\x00\x00\x00>\x00\x00\x00<\x00\x00\x00m\x00\x00\x00""a\x00\x00\x00i\x00\x00\x00n\x00\x00\x00""F\x00\x00\x00i\x00\x00\x00l\x00\x00\x00""e\x00\x00\x00s\x00\x00\x00>\x00\x00\x00\x0A\x00\x00\x00<\x00\x00\x00""f\x00\x00\x00>\x00\x02\x0B\x9F\x00\x00\x00<\x00\x00\x00/\x00\x00\x00""f\x00\x00\x00>\x00\x00\x00<\x00\x00\x00/\x00\x00\x00m\x00\x00\x00""a\x00\x00\x00i\x00\x00\x00n\x00\x00\x00""F\x00\x00\x00i\x00\x00\x00l\x00\x00\x00""e\x00\x00\x00s\x00\x00\x00>\x00\x00\x00<\x00\x00\x00/\x00\x00\x00j\x00\x00\x00o\x00\x00\x00""b\x00\x00\x00>", 176) << QString::fromUtf8(u8"mainFiles[] f\"\U00020B9F\"") << "";
    QTest::newRow("UCS-2, declared") << QByteArray("\xFF\xFE<\x00\x3F\x00x\x00m\x00l\x00 \x00v\x00""e\x00r\x00s\x00i\x00o\x00n\x00=\x00\x22\x00""1\x00.\x00""0\x00\x22\x00 \x00""e\x00n\x00""c\x00o\x00""d\x00i\x00n\x00g\x00=\x00\x22\x00U\x00""C\x00S\x00-\x00""2\x00\x22\x00\x3F\x00>\x00\x0A\x00<\x00j\x00o\x00""b\x00>\x00<\x00m\x00""a\x00i\x00n\x00""F\x00i\x00l\x00""e\x00s\x00>\x00\x0A\x00<\x00""f\x00>\x00\xE5""e,g<\x00/\x00""f\x00>\x00<\x00/\x00m\x00""a\x00i\x00n\x00""F\x00i\x00l\x00""e\x00s\x00>\x00<\x00/\x00j\x00o\x00""b\x00>\x00", 168) << QString::fromUtf8(u8"mainFiles[] f\"\u65E5\u672C\"") << "";
    QTest::newRow("ISO-10646-UCS-2, declared") << QByteArray("\xFE\xFF\x00<\x00\x3F\x00x\x00m\x00l\x00 \x00v\x00""e\x00r\x00s\x00i\x00o\x00n\x00=\x00\x22\x00""1\x00.\x00""0\x00\x22\x00 \x00""e\x00n\x00""c\x00o\x00""d\x00i\x00n\x00g\x00=\x00\x22\x00I\x00S\x00O\x00-\x00""1\x00""0\x00""6\x00""4\x00""6\x00-\x00U\x00""C\x00S\x00-\x00""2\x00\x22\x00\x3F\x00>\x00\x0A\x00<\x00j\x00o\x00""b\x00>\x00<\x00m\x00""a\x00i\x00n\x00""F\x00i\x00l\x00""e\x00s\x00>\x00\x0A\x00<\x00""f\x00>\x00T\x00""1\x00<\x00/\x00""f\x00>\x00<\x00/\x00m\x00""a\x00i\x00n\x00""F\x00i\x00l\x00""e\x00s\x00>\x00<\x00/\x00j\x00o\x00""b\x00>", 188) << "mainFiles[] f\"T1\"" << "";
    QTest::newRow("UCS-4, declared") << QByteArray("\xFF\xFE\x00\x00<\x00\x00\x00\x3F\x00\x00\x00x\x00\x00\x00m\x00\x00\x00l\x00\x00\x00 \x00\x00\x00v\x00\x00\x00""e\x00\x00\x00r\x00\x00\x00s\x00\x00\x00i\x00\x00\x00o\x00\x00\x00n\x00\x00\x00=\x00\x00\x00\x22\x00\x00\x00""1\x00\x00\x00.\x00\x00\x00""0\x00\x00\x00\x22\x00\x00\x00 \x00\x00\x00""e\x00\x00\x00n\x00\x00\x00""c\x00\x00\x00o\x00\x00\x00""d\x00\x00\x00i\x00\x00\x00n\x00\x00\x00g\x00\x00\x00=\x00\x00\x00\x22\x00\x00\x00U\x00\x00\x00""C\x00\x00\x00S\x00\x00\x00-\x00\x00\x00""4\x00\x00\x00\x22\x00\x00\x00\x3F\x00\x00\x00>\x00\x00\x00\x0A\x00\x00\x00<\x00\x00\x00j\x00\x00\x00o\x00\x00\x00""b\x00\x00\x00>\x00\x00\x00<\x00\x00\x00m\x00\x00\x00""a\x00\x00\x00i\x00\x00\x00n\x00\x00\x00""F\x00\x00\x00i\x00\x00\x00l\x00\x00\x00""e\x00\x00\x00s\x00\x00\x00>\x00\x00\x00\x0A\x00\x00\x00<\x00\x00\x00""f\x00\x00\x00>\x00\x00\x00\x9F\x0B\x02\x00<\x00\x00\x00/\x00\x00\x00""f\x00\x00\x00>\x00\x00\x00<\x00\x00\x00/\x00\x00\x00m\x00\x00\x00""a\x00\x00\x00i\x00\x00\x00n\x00\x00\x00""F\x00\x00\x00i\x00\x00\x00l\x00\x00\x00""e\x00\x00\x00s\x00\x00\x00>\x00\x00\x00<\x00\x00\x00/\x00\x00\x00j\x00\x00\x00o\x00\x00\x00""b\x00\x00\x00>\x00\x00\x00", 332) << QString::fromUtf8(u8"mainFiles[] f\"\U00020B9F\"") << "";
}

} // namespace

class tst_Conversion : public QObject
{
    Q_OBJECT

private slots:
    void convertEntry_data();
    void convertEntry();
    void loadSectionElement_data();
    void loadSectionElement();
    void loadTemplateRoot_data();
    void loadTemplateRoot();
    void openFailures();
    void loaderDiagnostics_data();
    void loaderDiagnostics();
    void sectionStaysUsableWithItsDocument();

private:
    ConfigGenerator generator;
};

void tst_Conversion::convertEntry_data()
{
    QTest::addColumn<QString>("entryXml");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("console");
    QTest::addColumn<QString>("diagnostics"); // on standard error, for the source s.xml

    const QString nameIsEmpty = QStringLiteral("Name is empty\n");
    const QString unknownKind = QStringLiteral("s.xml:1:21: warning: entry kind \"%1\" is not one of left, right, merge, "
                                               "tandem: the entry is left out");
    const QString otherMarker = QStringLiteral("s.xml:%1: warning: marker \"%2\" is neither <leftSet> nor <rightSet>: its "
                                               "Coordinate is empty");
    const QString markup = QStringLiteral("s.xml:%1: warning: <%2> inside content is markup, not text: the tag is dropped "
                                          "(write &lt;%2> or put the lines in CDATA)\n");
    const QString noContent = QStringLiteral("s.xml:1:21: warning: entry \"%1\" has no content lines: its configuration is empty\n");

    QTest::newRow("kind with spaces around it") << "<f><name> left </name></f>" << leftRow << "" << noContent.arg("left");
    QTest::newRow("kind with tabs and line ends around it") << "<f><name>\n\tright\t\n</name></f>" << rightRow << "" << noContent.arg("right");
    QTest::newRow("merge row") << "<f><name>merge</name></f>"
                               << "Configulation[Image=alternately.png Name=M NickName=Alternately Prefix= Suffix=.nc]" << "" << noContent.arg("merge");
    QTest::newRow("tandem row") << "<f><name>tandem</name></f>"
                                << "Configulation[Image=tandem.png Name=T NickName=Tandem Prefix= Suffix=.nc]" << "" << noContent.arg("tandem");
    QTest::newRow("kind split over CDATA and text") << "<f><name>le<![CDATA[ft]]></name></f>" << leftRow << "" << noContent.arg("left");
    QTest::newRow("only the first name counts") << "<f><name>right</name><name>left</name></f>" << rightRow << "" << noContent.arg("right");

    QTest::newRow("kind in other letter case") << "<f><name>Left</name></f>" << "null" << "" << unknownKind.arg("Left") + "; did you mean \"left\"?\n";
    QTest::newRow("unknown kind") << "<f><name>drill</name><content>T1</content></f>" << "null" << "" << unknownKind.arg("drill") + "\n";

    QTest::newRow("empty name") << "<f><name></name><content>T1</content></f>" << "null" << nameIsEmpty << "s.xml:1:21: warning: entry <f> has an empty name, so no kind: it is left out\n";
    QTest::newRow("name of blanks") << "<f><name>   </name></f>" << "null" << nameIsEmpty << "s.xml:1:21: warning: entry <f> has an empty name, so no kind: it is left out\n";
    QTest::newRow("name of CDATA blanks") << "<f><name><![CDATA[ \t ]]></name></f>" << "null" << nameIsEmpty << "s.xml:1:21: warning: entry <f> has an empty name, so no kind: it is left out\n";
    QTest::newRow("no name element") << "<f><content>T1</content></f>" << "null" << nameIsEmpty << "s.xml:1:14: warning: entry <f> has no name, so no kind: it is left out\n";
    QTest::newRow("name nested too deep") << "<f><x><name>left</name></x></f>" << "null" << nameIsEmpty << "s.xml:1:14: warning: entry <f> has no name, so no kind: it is left out\n";
    QTest::newRow("comment as entry") << "<!-- left -->" << "null" << nameIsEmpty << "s.xml:1:25: note: a comment in mainFiles is read as an entry without a kind (Name is empty)\n";
    QTest::newRow("text as entry") << "left" << "null" << nameIsEmpty << "s.xml:1:16: warning: text \"left\" in mainFiles is not in an entry: it is left out\n";

    QTest::newRow("worked example")
        << "<f><name> left </name><content>\n  T1 M6\n  &lt;leftSet>\n  &lt;park>\n  </content></f>"
        << leftRow + " Item\"T1 M6\" Coordinate\"G54\" Coordinate Item\"\"" << "" << otherMarker.arg("4:3", "<park>") + "\n";
    QTest::newRow("no content element") << "<f><name>left</name></f>" << leftRow << "" << noContent.arg("left");
    QTest::newRow("content of blank text is dropped by the parser") << "<f><name>left</name><content>  \n  </content></f>"
                                                                     << leftRow << "" << noContent.arg("left");
    QTest::newRow("CDATA of blanks without line feed") << "<f><name>left</name><content><![CDATA[   ]]></content></f>"
                                                      << leftRow + " Item\"\"" << "" << QString();
    QTest::newRow("empty lines are skipped") << "<f><name>left</name><content>T1\n\n\nT2\n</content></f>"
                                            << leftRow + " Item\"T1\" Item\"T2\"" << "" << QString();
    QTest::newRow("markers in CDATA") << "<f><name>right</name><content><![CDATA[<rightSet>\n<leftSet>]]></content></f>"
                                     << rightRow + " Coordinate\"G55\" Coordinate\"G54\"" << "" << QString();
    QTest::newRow("marker with blanks around it") << "<f><name>left</name><content> \t&lt;rightSet>  </content></f>"
                                                 << leftRow + " Coordinate\"G55\"" << "" << QString();
    QTest::newRow("marker with blank before bracket") << "<f><name>left</name><content>&lt;rightSet ></content></f>"
                                                     << leftRow + " Coordinate" << "" << otherMarker.arg("1:41", "<rightSet >") + "; did you mean \"<rightSet>\"?\n";
    QTest::newRow("marker in other letter case") << "<f><name>left</name><content>&lt;LeftSet></content></f>"
                                                << leftRow + " Coordinate" << "" << otherMarker.arg("1:41", "<LeftSet>") + "; did you mean \"<leftSet>\"?\n";
    QTest::newRow("marker after text is an item") << "<f><name>left</name><content>G0 &lt;leftSet></content></f>"
                                                 << leftRow + " Item\"G0 &lt;leftSet>\"" << "" << QString();
    QTest::newRow("kind one letter off") << "<f><name>lefft</name><content>T1</content></f>" << "null" << ""
                                         << unknownKind.arg("lefft") + "; did you mean \"left\"?\n";
    QTest::newRow("kind in capitals") << "<f><name>RIGHT</name><content>T1</content></f>" << "null" << ""
                                      << unknownKind.arg("RIGHT") + "; did you mean \"right\"?\n";
    QTest::newRow("processing instruction as entry")
        << "<?left?>" << "null" << nameIsEmpty
        << "s.xml:1:20: note: a processing instruction in mainFiles is read as an entry without a kind (Name is empty)\n";
    QTest::newRow("marker without its closing bracket") << "<f><name>left</name><content>T1\n&lt;park</content></f>"
                                                       << leftRow + " Item\"T1\" Coordinate" << "" << otherMarker.arg("2:1", "<park") + "\n";
    QTest::newRow("misspelt marker on a later line of CDATA")
        << "<f><name>right</name><content><![CDATA[G0\n  <leftset>]]></content></f>" << rightRow + " Item\"G0\" Coordinate" << ""
        << otherMarker.arg("2:3", "<leftset>") + "; did you mean \"<leftSet>\"?\n";
    QTest::newRow("markup in content is not text") << "<f><name>left</name><content>T1 <b>M6</b>\n<leftSet/></content></f>"
                                                  << leftRow + " Item\"T1 M6\"" << ""
                                                  << markup.arg("1:46", "b") + markup.arg("2:9", "leftSet");
}

void tst_Conversion::convertEntry()
{
    QFETCH(QString, entryXml);
    QFETCH(QString, expected);
    QFETCH(QString, console);
    QFETCH(QString, diagnostics);

    QDomDocument document;
    QVERIFY(document.setContent(QStringLiteral("<mainFiles>") + entryXml + QStringLiteral("</mainFiles>")));
    const QDomNode entry = document.documentElement().firstChild();
    QVERIFY(!entry.isNull());
    const QString sourceBefore = document.toString();

    ConsoleCapture capture;
    ConsoleCapture errorCapture(std::cerr);
    Diagnostics sourceDiagnostics(QStringLiteral("s.xml"));
    const QDomNode configuration = generator.convertEntry(entry, &sourceDiagnostics);
    QCOMPARE(errorCapture.text(), diagnostics);

    // Expected texts are written as they appear in XML, so decode the one entity they use.
    QCOMPARE(describe(configuration), QString(expected).replace(QLatin1String("&lt;"), QLatin1String("<")));
    QCOMPARE(capture.text(), console);
    QCOMPARE(document.toString(), sourceBefore);
    QVERIFY(configuration.isNull() || configuration.parentNode().isNull());
}

void tst_Conversion::loadSectionElement_data()
{
    QTest::addColumn<QByteArray>("fileContent");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("console");

    QTest::newRow("first of two sections") << QByteArray("<job><mainFiles id='1'/><mainFiles id='2'/></job>")
                                           << "mainFiles[id=1]" << "";
    QTest::newRow("section after other children") << QByteArray("<job><x/><!-- c --><mainFiles id='s'><f/></mainFiles></job>")
                                                  << "mainFiles[id=s] f" << "";
    QTest::newRow("declaration, BOM and comment before the root")
        << QByteArray("\xEF\xBB\xBF<?xml version='1.0' encoding='UTF-8'?>\n<!-- j --><job><mainFiles/></job>")
        << "mainFiles[]" << "";
    QTest::newRow("entries keep comments, drop indentation")
        << QByteArray("<job>\n  <mainFiles>\n    <!--c-->\n    <f/>\n  </mainFiles>\n</job>") << "mainFiles[] #comment f" << "";
    QTest::newRow("no section") << QByteArray("<job><other/></job>") << "null" << "";
    QTest::newRow("section only deeper down") << QByteArray("<job><x><mainFiles/></x></job>") << "null" << "";
    QTest::newRow("section in other letter case") << QByteArray("<job><MainFiles/></job>") << "null" << "";
    QTest::newRow("root named like the section") << QByteArray("<mainFiles><f/></mainFiles>") << "null" << "";
    QTest::newRow("root and child named like the section") << QByteArray("<mainFiles><mainFiles id='in'/></mainFiles>")
                                                           << "mainFiles[id=in]" << "";
    QTest::newRow("empty file") << QByteArray() << "null" << "Parse errorunexpected end of fileLine:1Column:1\n";
    QTest::newRow("truncated document") << QByteArray("<job>\n  <mainFiles>\n") << "null"
                                        << "Parse errorunexpected end of fileLine:3Column:1\n";
    for (const QByteArray &malformed : {QByteArray("<job></mainFiles>"), QByteArray("<job/><job/>"),
                                        QByteArray("<job>\n<mainFiles>\n<f>&amp</f></mainFiles></job>"),
                                        QByteArray("<job><mainFiles>]]></mainFiles></job>")})
        QTest::addRow("malformed as the DOM parser sees it: %s", malformed.constData()) << malformed << "null" << domErrorLine(malformed);
    const QByteArray malformedThenDeep = nestedDocument("<job><mainFiles></f>", 100000);
    QTest::newRow("malformed, then a hundred thousand levels deep")
        << malformedThenDeep << "null" << domErrorLine(malformedThenDeep.left(24));
    QTest::newRow("a hundred thousand levels deep, then malformed")
        << nestedDocument("<job><mainFiles>", 100000).replace("</a></a></mainFiles>", "</b></a></mainFiles>") << "null"
        << tooDeep(1, 16 + 255 * 3);

    QTest::newRow("nested a million levels") << nestedDocument("<job><mainFiles>", 1000000) << "null" << tooDeep(1, 16 + 255 * 3);
    QTest::newRow("nested as deep as allowed") << nestedDocument("<job><mainFiles>", maximumDepth - 2) << "mainFiles[] a<?>" << "";
    QTest::newRow("nested one level too deep") << nestedDocument("<job><mainFiles>", maximumDepth - 1) << "null" << tooDeep(1, 16 + 255 * 3);
    QTest::newRow("content model nested 70,000 levels") << nestedContentModel(70000) << "null" << nestedContentModelTooDeep;
    QTest::newRow("content model cut short 70,000 levels deep") << nestedContentModel(70000, false) << "null" << nestedContentModelTooDeep;
    QTest::newRow("content model nested as deep as allowed") << nestedContentModel(maximumDepth) << "mainFiles[]" << "";
    QTest::newRow("content model in a parameter entity, 70,000 levels")
        << "<!DOCTYPE job [<!ENTITY % m '<!ELEMENT job " + QByteArray(70000, '(') + "mainFiles" + QByteArray(70000, ')')
            + ">'>\n%m;]><job><mainFiles/></job>"
        << "null"
        << contentModelTooDeep(1, 43 + maximumDepth + 1);
    // After a comment whose quote and '=' would be a start tag's.
    const QByteArray tooManyAttributes = "<!-- <x ' = -->" + withAttributes(1001);
    int thousandFirst = tooManyAttributes.indexOf("-->");
    for (int attribute = 0; attribute <= 1000; ++attribute)
        thousandFirst = tooManyAttributes.indexOf('=', thousandFirst + 1);
    QTest::newRow("1,001 attributes on one element")
        << tooManyAttributes << "null"
        << QStringLiteral("Parse errorMore than 1000 attributes on one elementLine:1Column:%1\n").arg(thousandFirst + 1);
    QTest::newRow("1,000 attributes on one element") << withAttributes(1000) << "mainFiles[]" << "";
    const QByteArray signs = QByteArray(" a='1").repeated(2000);
    QTest::newRow("attributes' signs in a comment, CDATA and a processing instruction")
        << "<job><!-- <x" + signs + " --><?pi" + signs + "?><x><![CDATA[<x" + signs + "]]></x><mainFiles/></job>" << "mainFiles[]" << "";
    QTest::newRow("1,001 entities declared") << withEntities(1001) << "null"
                                             << refusedAfterFirst(withEntities(1001), QXmlStreamReader::DTD,
                                                                  QStringLiteral("More than 1000 entities declared"));
    QTest::newRow("1,000 entities declared") << withEntities(1000) << "mainFiles[]" << "";
    // 1,000 uses of a 1,000-character entity make 1 MB of text from a document of 4 KB; 2,000 make
    // 2 MB, over the mebibyte and ten times the length allowed.
    QTest::newRow("entity used 1,000 times") << withReferences(1000) << "mainFiles[] f\"" + QString(1000000, 'x') + '"' << "";
    QTest::newRow("entity used 2,000 times")
        << withReferences(2000) << "null"
        << refusedAfterFirst(withReferences(2000), QXmlStreamReader::Characters,
                             QStringLiteral("Entities expand the text to more than 10 times the document's length"));
    QTest::newRow("parentheses in the root's attribute") << "<job a='" + QByteArray(1000, '(') + "'><mainFiles/></job>"
                                                         << "mainFiles[]" << "";
    QTest::newRow("UTF-16 with byte-order mark")
        << utf16WithByteOrderMark(QStringLiteral("<job><mainFiles><f>\u00E9</f></mainFiles></job>"))
        << "mainFiles[] f\"\u00E9\"" << "";
    addLineEndRows();
    addEncodingRows();
    QTest::newRow("declared legacy encoding")
        << QByteArray("<?xml version='1.0' encoding='ISO-8859-1'?><job><mainFiles><f>caf\xE9</f></mainFiles></job>")
        << "mainFiles[] f\"caf\u00E9\"" << "";
    QTest::newRow("bytes invalid in UTF-8") << QByteArray("<job>\n<mainFiles>\n<f>\n\xC5\xA0" "caf\xE9 \xFF</f></mainFiles></job>")
                                            << "null" << "Parse errorEncountered incorrectly encoded content.Line:4Column:5\n";
    QTest::newRow("UTF-8 cut in a character") << QByteArray("<job><mainFiles/></job>\n\xC5") << "null"
                                              << "Parse errorEncountered incorrectly encoded content.Line:2Column:1\n";
    // The checking pass reads the text in pieces of 65,536 characters: here a surrogate pair
    // straddles the end of the first, and the column counts both of its halves.
    const QByteArray beforePiecesEnd = "<job><mainFiles><f>" + QByteArray(65535 - 19, 'x');
    QTest::newRow("surrogate pair across the checking pass's pieces")
        << beforePiecesEnd + "\xF0\x9F\x98\x80\x01</f></mainFiles></job>" << "null"
        << QStringLiteral("Parse errorUnexpected ''.Line:1Column:65538\n");
    QTest::newRow("control character") << QByteArray("<job><mainFiles><f>T1\x01</f></mainFiles></job>") << "null"
                                       << "Parse errorUnexpected ''.Line:1Column:22\n";
    QTest::newRow("undeclared entity") << QByteArray("<job><mainFiles><f>&tool;</f></mainFiles></job>") << "null"
                                       << "Parse errorEntity 'tool' not declared.Line:1Column:25\n";
    QTest::newRow("entity expansion bomb") << entityBomb() << "null" << domErrorLine(entityBomb());
    QTest::newRow("external entity")
        << QByteArray("<!DOCTYPE job [<!ENTITY x SYSTEM 'file:///etc/hostname'>]><job><mainFiles><f>&x;</f></mainFiles></job>")
        << "null" << "Parse errorEntity 'x' is defined outside the document, which is never readLine:1Column:80\n";
    QTest::newRow("external entity through an internal one")
        << QByteArray("<!DOCTYPE job [<!ENTITY x SYSTEM 'x.txt'><!ENTITY t 'T1 &x;'>]><job><mainFiles>\n<f>T0 &t;</f></mainFiles></job>")
        << "null" << "Parse errorEntity 't' is defined outside the document, which is never readLine:2Column:9\n";
    QTest::newRow("external entity after a comment naming it")
        << QByteArray("<!DOCTYPE job [<!ENTITY x PUBLIC 'p' 'x.txt'>]><job><!-- &x; --><mainFiles/>&x;</job>")
        << "null" << "Parse errorEntity 'x' is defined outside the document, which is never readLine:1Column:79\n";
    QTest::newRow("external entities, notation and names with ':' declared, not used")
        << QByteArray("<!DOCTYPE p:job [<!NOTATION png SYSTEM 'image/png'><!ENTITY x SYSTEM 'x.txt'><!ENTITY i SYSTEM 'i.png' NDATA png>"
                      "<!ATTLIST p:job a:b CDATA #IMPLIED>]><p:job a:b='1'><mainFiles><f>&lt;x;</f></mainFiles></p:job>")
        << "mainFiles[] f\"<x;\"" << "";
    QTest::newRow("entity of an external document type")
        << QByteArray("<!DOCTYPE job SYSTEM 'file:///etc/hostname'><job><mainFiles><f>&x;</f></mainFiles></job>")
        << "null" << "Parse errorEntity 'x' is defined outside the document, which is never readLine:1Column:66\n";
    // Qt's DOM parser alone would keep the low 16 bits of each of these references.
    QTest::newRow("references beyond U+FFFF in text and attributes")
        << QByteArray("<job><mainFiles a='&#x20B9F;'><f>&#128512; &#x10000;&#x10FFFF;</f><f>&#x1003C;leftSet></f></mainFiles></job>")
        << QString::fromUtf8("mainFiles[a=\xF0\xA0\xAE\x9F] f\"\xF0\x9F\x98\x80 \xF0\x90\x80\x80\xF4\x8F\xBF\xBF\" "
                             "f\"\xF0\x90\x80\xBCleftSet>\"")
        << "";
    QTest::newRow("references in CDATA and comments stay text")
        << QByteArray("<job><mainFiles><f><![CDATA[&#x1F600;]]></f><!-- &#x1F600; --><?p &#x1F600;?></mainFiles></job>")
        << "mainFiles[] f\"&#x1F600;\" #comment p" << "";
    QTest::newRow("XML 1.1, read as the DOM parser reads it")
        << QByteArray("<?xml version=\"1.1\" encoding=\"UTF-8\"?>\n<job><mainFiles><f>T1</f></mainFiles></job>") << "mainFiles[] f\"T1\""
        << "";
    QTest::newRow("XML 1.1 with a control character as a reference")
        << QByteArray("<?xml version='1.1'?><job><mainFiles>&#x1;</mainFiles></job>") << "null"
        << "Parse errorInvalid character reference.Line:1Column:42\n";
    QTest::newRow("entity declared in the document") << QByteArray("<!DOCTYPE job [<!ENTITY t 'T1 M6'>]><job><mainFiles><f>&t;</f></mainFiles></job>")
                                                     << "mainFiles[] f\"T1 M6\"" << "";
}

void tst_Conversion::loadSectionElement()
{
    QFETCH(QByteArray, fileContent);
    QFETCH(QString, expected);
    QFETCH(QString, console);

    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("source.xml"));
    writeFile(path, fileContent);

    QDomDocument document;
    ConsoleCapture capture;
    const QDomNode section = generator.loadSectionElement(path, QStringLiteral("mainFiles"), document);
    QCOMPARE(describe(section), expected);
    QCOMPARE(capture.text(), console);
}

void tst_Conversion::loadTemplateRoot_data()
{
    QTest::addColumn<QByteArray>("fileContent");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("console");

    QTest::newRow("declaration and comment before the root")
        << QByteArray("<?xml version='1.0'?>\n<!-- t -->\n<Post Version='2'>\n  <Machine/>\n</Post>\n") << "Post[Version=2] Machine" << "";
    QTest::newRow("UTF-16 with byte-order mark")
        << utf16WithByteOrderMark(QStringLiteral("<P/>")) << "P[]" << "";
    QTest::newRow("not well-formed") << QByteArray("<Post>\r\n<A></a>") << "null" << domErrorLine("<Post>\n<A></a>");
    QTest::newRow("reference beyond U+FFFF in an attribute") << QByteArray("<P a='&#x20B9F;'/>")
                                                            << QString::fromUtf8("P[a=\xF0\xA0\xAE\x9F]") << "";
    QTest::newRow("nested a million levels") << nestedDocument("<Post>", 1000000) << "null" << tooDeep(1, 6 + 256 * 3);
    QTest::newRow("nested as deep as allowed") << nestedDocument("<Post>", maximumDepth - 1) << "Post[] a<?>" << "";
    QTest::newRow("content model nested 70,000 levels")
        << nestedContentModel(70000).replace("job", "Post") << "null" << contentModelTooDeep(2, 15 + maximumDepth + 1);
}

void tst_Conversion::loadTemplateRoot()
{
    QFETCH(QByteArray, fileContent);
    QFETCH(QString, expected);
    QFETCH(QString, console);

    QTemporaryDir directory;
    QVERIFY(QDir(directory.path()).mkpath(QStringLiteral("Template")));
    writeFile(directory.filePath(QStringLiteral("Template/PostProcessorTemplate.xml")), fileContent);
    const QString previousDirectory = QDir::currentPath();
    QVERIFY(QDir::setCurrent(directory.path()));

    QDomDocument document;
    ConsoleCapture capture;
    const QDomNode root = generator.loadTemplateRoot(document);
    QDir::setCurrent(previousDirectory);
    QCOMPARE(describe(root), expected);
    QCOMPARE(capture.text(), console);
}

void tst_Conversion::openFailures()
{
    // The template is looked up relative to the working directory, which here has none.
    QTemporaryDir directory;
    const QString previousDirectory = QDir::currentPath();
    QVERIFY(QDir::setCurrent(directory.path()));
    QDomDocument templateDocument;
    QDomDocument sourceDocument;
    ConsoleCapture capture;
    QVERIFY(generator.loadTemplateRoot(templateDocument).isNull());
    QVERIFY(generator.loadSectionElement(QStringLiteral("missing.xml"), QStringLiteral("mainFiles"), sourceDocument).isNull());
    QVERIFY(generator.loadSectionElement(directory.path(), QStringLiteral("mainFiles"), sourceDocument).isNull());
#ifdef Q_OS_UNIX
    // Opening a named pipe waits for a writer, which may never come.
    QVERIFY(QDir(directory.path()).mkpath(QStringLiteral("Template")));
    for (const char *pipe : {"Template/PostProcessorTemplate.xml", "pipe.xml"})
        QCOMPARE(mkfifo(pipe, 0600), 0);
    QVERIFY(generator.loadTemplateRoot(templateDocument).isNull());
    QVERIFY(generator.loadSectionElement(QStringLiteral("pipe.xml"), QStringLiteral("mainFiles"), sourceDocument).isNull());
    // Larger than a byte array holds; sparse, so that it takes no room on the disk.
    QFile huge(QStringLiteral("huge.xml"));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize((qint64(1) << 31) + 1));
    huge.close();
    QVERIFY(generator.loadSectionElement(QStringLiteral("huge.xml"), QStringLiteral("mainFiles"), sourceDocument).isNull());
    const QString pipeLines =
        QStringLiteral("Invalid file path.Please Check PostProcessorTemplate.xml is existed?\nInvalid file path\nInvalid file path\n");
#else
    const QString pipeLines;
#endif
    QDir::setCurrent(previousDirectory);
    QCOMPARE(capture.text(), QStringLiteral("Invalid file path.Please Check PostProcessorTemplate.xml is existed?\n"
                                            "Invalid file path\nInvalid file path\n")
                 + pipeLines);
}

void tst_Conversion::loaderDiagnostics_data()
{
    QTest::addColumn<QByteArray>("fileContent"); // none: the file does not exist
    QTest::addColumn<QString>("diagnostics"); // PATH stands for the source's path

    QTest::newRow("section in other letter case")
        << QByteArray("<job>\n  <MainFiles/>\n</job>")
        << "PATH:1:5: error: the root element <job> has no child <mainFiles>: nothing is converted; <MainFiles> on line 2 "
           "is not mainFiles: names differ in letter case\n";
    QTest::newRow("no section at all") << QByteArray("<job><x/></job>")
                                       << "PATH:1:5: error: the root element <job> has no child <mainFiles>: nothing is converted\n";
    const QString rawMarker = QStringLiteral("PATH:%1: error: tag mismatch\nPATH:%2: note: <%3> inside content is read as a start "
                                             "tag that is never closed: write &lt;%3> or put the lines in CDATA\n");
    QTest::newRow("raw marker in content")
        << QByteArray("<job><mainFiles><f><name>left</name><content>\nT1\n<leftSet>\nG0\n</content></f></mainFiles></job>")
        << rawMarker.arg("5:10", "3:9", "leftSet");
    QTest::newRow("raw marker in a later entry, CRLF")
        << QByteArray("<job><mainFiles>\r\n<f><content><b>x</b></content></f>\r\n<f><content>T1 <park></content></f>"
                      "</mainFiles></job>")
        << rawMarker.arg("3:31", "3:21", "park");
    QTest::newRow("closed markup in content is no cause")
        << QByteArray("<job><mainFiles><f><content><b>x</b>\n</f></mainFiles></job>") << "PATH:2:4: error: tag mismatch\n";
#ifndef Q_OS_WIN
    // The system's words differ between systems.
    QTest::newRow("missing file") << QByteArray() << "PATH: error: cannot be opened: No such file or directory\n";
#endif
}

void tst_Conversion::loaderDiagnostics()
{
    QFETCH(QByteArray, fileContent);
    QFETCH(QString, diagnostics);

    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("source.xml"));
    if (!fileContent.isEmpty())
        writeFile(path, fileContent);
    QDomDocument document;
    ConsoleCapture capture;
    ConsoleCapture errorCapture(std::cerr);
    Diagnostics sourceDiagnostics(path);
    QVERIFY(generator.loadSectionElement(path, QStringLiteral("mainFiles"), document, &sourceDiagnostics).isNull());
    QCOMPARE(errorCapture.text(), QString(diagnostics).replace(QLatin1String("PATH"), QDir::toNativeSeparators(path)));
}

void tst_Conversion::sectionStaysUsableWithItsDocument()
{
    QTemporaryDir directory;
    QDomDocument sourceDocument;
    const QString path = directory.filePath(QStringLiteral("source.xml"));
    writeFile(path, "<job><mainFiles><f><name>left</name><content>T1</content></f></mainFiles></job>");
    const QDomNode section = generator.loadSectionElement(path, QStringLiteral("mainFiles"), sourceDocument);
    const QDomNode configuration = generator.convertEntry(section.firstChild());
    QCOMPARE(serialized(configuration).count(QStringLiteral("<Item>T1</Item>")), 1);
}

QTEST_GUILESS_MAIN(tst_Conversion)
#include "tst_conversion.moc"
