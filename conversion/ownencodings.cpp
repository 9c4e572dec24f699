#include "ownencodings.h"

#include <QVector>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

#include <algorithm>
#include <cctype>
#include <utility>

namespace {

// The names ICU gives each of these encodings; Qt's own codecs know the first, or none of them.
const QVector<QVector<QByteArray>> &encodingNames()
{
    static const QVector<QVector<QByteArray>> names = {
        {"Windows-31J", "Shift_JIS", "SJIS", "MS_Kanji", "csShiftJIS", "csWindows31J", "x-sjis", "x-ms-cp932", "CP932",
         "windows-932", "MS932", "cp943c", "IBM-943C", "ibm-943", "ibm-943_P15A-2003", "ibm-943_VSUB_VPUA", "pck",
         "x-MS932_0213", "x-JISAutoDetect"},
        {"US-ASCII", "ASCII", "ANSI_X3.4-1968", "ANSI_X3.4-1986", "ISO_646.irv:1991", "iso_646.irv:1983", "ISO646-US", "us",
         "csASCII", "iso-ir-6", "cp367", "ascii7", "646", "windows-20127", "ibm-367", "IBM367"},
        {"UTF-16", "ISO-10646-UCS-2", "UCS-2", "csUnicode", "unicode", "ibm-1204", "ibm-1205"},
        {"UTF-32", "ISO-10646-UCS-4", "UCS-4", "csUCS4", "ibm-1236", "ibm-1237"},
        {"GB18030", "windows-54936", "ibm-1392"},
    };
    return names;
}

QByteArray nameKey(const QByteArray &name)
{
    QByteArray key;
    for (const char character : name) {
        if (std::isalnum(static_cast<unsigned char>(character)) != 0)
            key += char(std::tolower(static_cast<unsigned char>(character)));
    }
    return key;
}

constexpr int leftToTheLibrary = -1;
constexpr int invalidCharacter = -2;

// Decodes a multibyte encoding whose characters `characterLength` tells apart: the number of bytes
// of the character at `at`, which may be more than are left before `end`. `ownCharacter` gives the
// character that the tool decodes itself from the `length` bytes at `at`, invalidCharacter, or
// leftToTheLibrary; every other character is left to `decodeRun`, in runs as long as they come.
// The two are template arguments so that the compiler can inline them into the loop over the bytes.
template <int (*characterLength)(const uchar *at, const uchar *end), int (*ownCharacter)(const uchar *at, int length)>
bool decodeInRuns(const QByteArray &bytes, const ValidPartDecoder &decodeRun, QString &text)
{
    const auto *const start = reinterpret_cast<const uchar *>(bytes.constData());
    const auto *const end = start + bytes.size();
    const uchar *runStart = start;
    text.clear();
    const auto appendRun = [&](const uchar *runEnd) {
        QString decoded;
        const bool valid = decodeRun(QByteArray::fromRawData(bytes.constData() + (runStart - start), int(runEnd - runStart)),
                                     decoded);
        text += decoded;
        return valid;
    };
    for (const uchar *at = start; at < end;) {
        const int length = characterLength(at, end);
        if (length > end - at) {
            appendRun(at);
            return false; // the last character is cut short
        }
        const int own = ownCharacter(at, length);
        if (own != leftToTheLibrary) {
            if (!appendRun(at) || own == invalidCharacter)
                return false;
            const auto character = uint(own);
            text += QString::fromUcs4(&character, 1);
            runStart = at + length;
        }
        at += length;
    }
    return appendRun(end);
}

// Code page 932: a lead byte and the byte after it make one character, every other byte one.
// The libraries agree with Windows on every two-byte character, not on some single bytes: ICU
// swaps three control characters, as IBM's code pages do, and refuses five bytes that Windows
// reads as characters; Wine refuses four of them.
int codePage932Length(const uchar *at, const uchar * /*end*/)
{
    const bool lead = (*at >= 0x81 && *at <= 0x9F) || (*at >= 0xE0 && *at <= 0xFC);
    return lead ? 2 : 1;
}

int codePage932OwnCharacter(const uchar *at, int length)
{
    if (length != 1)
        return leftToTheLibrary;
    switch (*at) {
    case 0x1A:
    case 0x1C:
    case 0x7F:
    case 0x80:
        return *at;
    case 0xA0:
        return 0xF8F0;
    case 0xFD:
    case 0xFE:
    case 0xFF:
        return 0xF8F1 + (*at - 0xFD);
    default:
        return leftToTheLibrary;
    }
}

// GB18030: a four-byte sequence has a digit as its second and fourth byte. Those from 0x90 on are
// the characters beyond U+FFFF, in order: Qt's own codec keeps only their low 16 bits.
bool isDigitByte(uchar byte)
{
    return byte >= 0x30 && byte <= 0x39;
}

int gb18030Length(const uchar *at, const uchar *end)
{
    if (*at < 0x81 || *at == 0xFF)
        return 1;
    return end - at > 1 && isDigitByte(at[1]) ? 4 : 2;
}

int gb18030OwnCharacter(const uchar *at, int length)
{
    if (length != 4 || at[0] < 0x90)
        return leftToTheLibrary;
    if (at[2] < 0x81 || at[2] == 0xFF || !isDigitByte(at[3]))
        return invalidCharacter;
    const int offset = (((at[0] - 0x90) * 10 + (at[1] - 0x30)) * 126 + (at[2] - 0x81)) * 10 + (at[3] - 0x30);
    constexpr int supplementaryCharacters = 0x100000;
    return offset < supplementaryCharacters ? 0x10000 + offset : invalidCharacter;
}

bool decodeAscii(const QByteArray &bytes, QString &text)
{
    const auto *const beyondAscii = std::find_if(bytes.cbegin(), bytes.cend(), [](char byte) { return (byte & 0x80) != 0; });
    text = QString::fromLatin1(bytes.constData(), int(beyondAscii - bytes.cbegin()));
    return beyondAscii == bytes.cend();
}

#ifdef Q_OS_WIN
// Qt's own Shift_JIS codec knows JIS X 0208 alone; Windows itself decodes code page 932.
bool decodeWithCodePage932(const char *bytes, int size, QString &text)
{
    constexpr UINT codePage932 = 932;
    text.resize(size); // each byte gives at most one UTF-16 unit
    const int units = size == 0 ? 0
                                : MultiByteToWideChar(codePage932, MB_ERR_INVALID_CHARS, bytes, size,
                                                      reinterpret_cast<wchar_t *>(text.data()), size);
    text.resize(units);
    return units > 0 || size == 0;
}

// Windows tells only that some character is invalid: which one it is, is found one character at
// a time.
bool decodeCodePage932Run(const QByteArray &bytes, QString &text)
{
    if (decodeWithCodePage932(bytes.constData(), bytes.size(), text))
        return true;
    text.clear();
    const auto *const start = reinterpret_cast<const uchar *>(bytes.constData());
    QString character;
    for (int at = 0, length = 0; at < bytes.size(); at += length) {
        length = codePage932Length(start + at, start + bytes.size());
        if (!decodeWithCodePage932(bytes.constData() + at, length, character))
            return false;
        text += character;
    }
    return true;
}
#endif

} // namespace

QByteArray commonEncodingName(const QByteArray &declared)
{
    const QByteArray key = nameKey(declared);
    const auto namesTheEncoding = [&key](const QVector<QByteArray> &names) {
        return std::any_of(names.cbegin(), names.cend(), [&key](const QByteArray &name) { return nameKey(name) == key; });
    };
    const auto *const found = std::find_if(encodingNames().cbegin(), encodingNames().cend(), namesTheEncoding);
    return found == encodingNames().cend() ? declared : found->first();
}

ValidPartDecoder ownDecoder(const QByteArray &name, const ValidPartDecoder &decodeWithQt)
{
    if (name == "US-ASCII")
        return decodeAscii;
    if (name == "GB18030") {
        return [decodeWithQt](const QByteArray &bytes, QString &text) {
            return decodeInRuns<gb18030Length, gb18030OwnCharacter>(bytes, decodeWithQt, text);
        };
    }
    if (name == "Windows-31J") {
#ifdef Q_OS_WIN
        const ValidPartDecoder decodeRun = decodeCodePage932Run;
#else
        const ValidPartDecoder &decodeRun = decodeWithQt; // ICU's table is Windows' own
#endif
        return [decodeRun](const QByteArray &bytes, QString &text) {
            return decodeInRuns<codePage932Length, codePage932OwnCharacter>(bytes, decodeRun, text);
        };
    }
    return {};
}
