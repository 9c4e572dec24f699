#include "ownencodings.h"

#include <QHash>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace {

// Every name by which ICU, and so Qt on Linux, knows an encoding that Qt's own codecs on Windows
// know by another name or not at all, separated by spaces, after the name both know it by. The
// names are ICU's own list, with the few that only Qt's own codecs know added.
constexpr std::array<std::pair<const char *, const char *>, 45> namesByEncoding = {{
    {"Big5", "csBig5 ms950 windows-950 windows-950-2000 x-big5 x-windows-950 Big5-ETen CP950"},
    {"Big5-HKSCS", "big5hk HKSCS-BIG5 ibm-1375 ibm-1375_P100-2008"},
    {"EUC-JP", "csEUCPkdFmtJapanese euc-jp-2007 eucjis Extended_UNIX_Code_Packed_Format_for_Japanese ujis "
     "X-EUC-JP"},
    {"GB18030", "ibm-1392 windows-54936"},
    {"GBK", "1383 chinese cp1383 csGB2312 csISO58GB231280 EUC-CN GB2312 gb2312-1980 GB2312.1980-0 GB_2312-80 "
     "hp15CN ibm-1383 ibm-1383_P110-1999 ibm-1383_VPUA ibm-5478 ibm-5478_P100-1995 ibm-eucCN "
     "iso-ir-58 windows-936-2000"},
    {"hp-roman8", "ibm-1051 ibm-1051_P100-1995 r8 x-roman8"},
    {"IBM850", "850 ibm-850_P100-1995 windows-850"},
    {"IBM866", "866 ibm-866_P100-1995 windows-866"},
    {"ISO-2022-JP", "csISO2022JP ISO_2022,locale=ja,version=0 x-windows-50220 x-windows-iso2022jp"},
    {"ISO-8859-1", "819 8859_1 ISO_8859-1:1987 l1"},
    {"ISO-8859-10", "iso-8859_10-1998 l6"},
    {"ISO-8859-13", "8859_13 921 cp921 ibm-921 ibm-921_P100-1995 windows-28603 x-IBM921"},
    {"ISO-8859-14", "iso-8859_14-1998 ISO_8859-14:1998 l8"},
    {"ISO-8859-15", "8859_15 923 cp923 csisolatin0 csisolatin9 ibm-923 ibm-923_P100-1998 iso8859_15_fdis l9 latin0 "
     "windows-28605"},
    {"ISO-8859-2", "8859_2 912 cp912 ibm-912 ibm-912_P100-1995 ISO_8859-2:1987 l2 windows-28592"},
    {"ISO-8859-3", "8859_3 913 cp913 ibm-913 ibm-913_P100-2000 ISO_8859-3:1988 l3 windows-28593"},
    {"ISO-8859-4", "8859_4 914 cp914 ibm-914 ibm-914_P100-1995 ISO_8859-4:1988 l4 windows-28594"},
    {"ISO-8859-5", "8859_5 915 cp915 ibm-915 ibm-915_P100-1995 ISO_8859-5:1988 windows-28595"},
    {"ISO-8859-6", "1089 8859_6 cp1089 ibm-1089 ibm-1089_P100-1995 ISO-8859-6-E ISO_8859-6:1987 windows-28596 "
     "x-ISO-8859-6S"},
    {"ISO-8859-7", "8859_7 ELOT_928 greek8 ibm-9005 ibm-9005_X110-2007 ISO_8859-7:1987 sun_eu_greek windows-28597"},
    {"ISO-8859-8", "8859_8 hebrew8 ibm-5012 ibm-5012_P100-1999 ISO-8859-8-E ISO_8859-8:1988 windows-28598"},
    {"ISO-8859-9", "8859_9 920 cp920 ECMA-128 ibm-920 ibm-920_P100-1995 ISO_8859-9:1989 l5 turkish turkish8 "
     "windows-28599"},
    {"KOI8-R", "cp878 ibm-878 ibm-878_P100-1996 koi8 windows-20866"},
    {"KOI8-U", "ibm-1168 ibm-1168_P100-2002 windows-21866"},
    {"macintosh", "csMacintosh mac macos-0_2-10.2 windows-10000 x-macroman"},
    {"Shift_JIS", "cp932 cp943c csShiftJIS csWindows31J ibm-943 ibm-943_P15A-2003 ibm-943_VSUB_VPUA IBM-943C ms932 "
     "pck windows-31j windows-932 x-JISAutoDetect x-ms-cp932 x-MS932_0213 x-sjis"},
    {"TIS-620", "cp874 eucTH ibm-874 ibm-874_P100-1995 ibm-9066 MS874 tis620.2533 windows-874 windows-874-2000 "
     "x-IBM874 x-windows-874"},
    {"UTF-16", "csUnicode ibm-1204 ibm-1205 ISO-10646-UCS-2 ucs-2 unicode"},
    {"UTF-16BE", "cp1200 cp1201 ibm-1200 ibm-1201 ibm-13488 ibm-13489 ibm-17584 ibm-17585 ibm-21680 ibm-21681 "
     "ibm-25776 ibm-25777 ibm-29872 ibm-29873 ibm-61955 ibm-61956 UnicodeBigUnmarked UTF16_BigEndian "
     "windows-1201 x-utf-16be"},
    {"UTF-16LE", "ibm-1202 ibm-1203 ibm-13490 ibm-13491 ibm-17586 ibm-17587 ibm-21682 ibm-21683 ibm-25778 "
     "ibm-25779 ibm-29874 ibm-29875 UnicodeLittleUnmarked UTF16_LittleEndian windows-1200 x-utf-16le"},
    {"UTF-32", "csUCS4 ibm-1236 ibm-1237 ISO-10646-UCS-4 ucs-4"},
    {"UTF-32BE", "ibm-1232 ibm-1233 ibm-9424 UTF32_BigEndian"},
    {"UTF-32LE", "ibm-1234 ibm-1235 UTF32_LittleEndian"},
    {"UTF-8", "cp1208 ibm-1208 ibm-1209 ibm-13496 ibm-13497 ibm-17592 ibm-17593 ibm-5304 ibm-5305 "
     "unicode-1-1-utf-8 unicode-2-0-utf-8 windows-65001 x-UTF_8J"},
    {"windows-1250", "ibm-5346 ibm-5346_P100-1998"},
    {"windows-1251", "ANSI1251 ibm-5347 ibm-5347_P100-1998"},
    {"windows-1252", "ibm-5348 ibm-5348_P100-1997"},
    {"windows-1253", "ibm-5349 ibm-5349_P100-1998"},
    {"windows-1254", "ibm-5350 ibm-5350_P100-1998"},
    {"windows-1255", "ibm-9447 ibm-9447_P100-2002"},
    {"windows-1256", "ibm-9448 ibm-9448_X100-2005 x-windows-1256S"},
    {"windows-1257", "ibm-9449 ibm-9449_P100-2002"},
    {"windows-1258", "ibm-5354 ibm-5354_P100-1998"},
    {"windows-949", "5601 970 cp1363 cp970 csEUCKR csKSC56011987 EUC-KR ibm-1363 ibm-1363_P11B-1998 "
     "ibm-1363_VSUB_VPUA ibm-970 ibm-970_P110_P110-2006_U2 ibm-970_VPUA ibm-eucKR iso-ir-149 korean "
     "KS_C_5601-1987 KS_C_5601-1989 ksc KSC_5601 ms949 windows-51949 windows-949-2000 x-IBM1363C "
     "x-IBM970 x-KSC5601 cp949"},
    {"US-ASCII", "646 ANSI_X3.4-1968 ANSI_X3.4-1986 ascii7 ASCII csASCII cp367 IBM367 ibm-367 ISO646-US iso-ir-6 "
     "ISO_646.irv:1991 iso_646.irv:1983 us windows-20127"},
}};

QByteArray nameKey(const QByteArray &name)
{
    QByteArray key;
    for (const char character : name) {
        if (std::isalnum(static_cast<unsigned char>(character)) != 0)
            key += char(std::tolower(static_cast<unsigned char>(character)));
    }
    return key;
}

const QHash<QByteArray, QByteArray> &commonNameByKey()
{
    static const QHash<QByteArray, QByteArray> byKey = [] {
        QHash<QByteArray, QByteArray> common;
        for (const auto &[name, otherNames] : namesByEncoding) {
            common.insert(nameKey(name), name);
            for (const QByteArray &otherName : QByteArray(otherNames).split(' '))
                common.insert(nameKey(otherName), name);
        }
        return common;
    }();
    return byKey;
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

template <int (*characterLength)(const uchar *, const uchar *), int (*ownCharacter)(const uchar *, int)>
ValidPartDecoder inRuns(const ValidPartDecoder &decodeRun)
{
    return [decodeRun](const QByteArray &bytes, QString &text) {
        return decodeInRuns<characterLength, ownCharacter>(bytes, decodeRun, text);
    };
}

int oneByte(const uchar * /*at*/, const uchar * /*end*/)
{
    return 1;
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

// Code pages 936 (GBK), 949 (Korean) and 950 (Big5): a byte from 0x81 to 0xFE leads a pair. ICU
// reads them as Windows does, Wine as well but for the last byte, 0xFF, which Windows gives a
// character of the private use area.
int leadBytePairLength(const uchar *at, const uchar * /*end*/)
{
    return *at >= 0x81 && *at <= 0xFE ? 2 : 1;
}

template <int character>
int lastByteReadAs(const uchar *at, int length)
{
    return length == 1 && *at == 0xFF ? character : leftToTheLibrary;
}

// Code page 874 (Thai): ICU gives the eight bytes that Thai leaves undefined characters of the
// private use area, as Windows does; Wine refuses them.
int codePage874OwnCharacter(const uchar *at, int /*length*/)
{
    if (*at >= 0xDB && *at <= 0xDE)
        return 0xF8C1 + (*at - 0xDB);
    if (*at >= 0xFC)
        return 0xF8C5 + (*at - 0xFC);
    return leftToTheLibrary;
}

// EUC-JP as JIS X 0208 and JIS X 0212 define it, as Qt's own codec and Python read it. ICU reads
// it as IBM's code page, with NEC's and IBM's extensions in rows 13 and 89 to 92 and in JIS X 0212's
// row 83, five JIS characters as their fullwidth forms, three more after the single shift that
// leads halfwidth katakana, and the bytes that lead nothing as C1 controls.
constexpr uchar singleShift2 = 0x8E; // a halfwidth katakana follows
constexpr uchar singleShift3 = 0x8F; // a JIS X 0212 pair follows

int eucJpLength(const uchar *at, const uchar * /*end*/)
{
    if (*at == singleShift3)
        return 3;
    return *at == singleShift2 || (*at >= 0xA1 && *at <= 0xFE) ? 2 : 1;
}

int eucJpOwnCharacter(const uchar *at, int length)
{
    if (length == 1)
        return *at < 0x80 ? leftToTheLibrary : invalidCharacter;
    if (length == 3)
        return at[1] == 0xF3 || at[1] == 0xF4 ? invalidCharacter : leftToTheLibrary;
    const bool beyondKatakana = at[0] == singleShift2 && at[1] > 0xDF;
    if (beyondKatakana || at[0] == 0xAD || (at[0] >= 0xF9 && at[0] <= 0xFC))
        return invalidCharacter;
    switch ((at[0] << 8) | at[1]) {
    case 0xA1C1:
        return 0x301C; // wave dash
    case 0xA1C2:
        return 0x2016; // double vertical line
    case 0xA1F1:
        return 0x00A2; // cent
    case 0xA1F2:
        return 0x00A3; // pound
    case 0xA2CC:
        return 0x00AC; // not
    default:
        return leftToTheLibrary;
    }
}

// GB18030: a four-byte sequence has a digit as its second and fourth byte. Those from 0x90 on are
// the characters beyond U+FFFF, in order: Qt's own codec keeps only their low 16 bits. ICU reads
// two characters as GB18030-2005 moved them; Qt's own codec, Windows and Python as GB18030-2000.
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
    if (length == 2)
        return at[0] == 0xA8 && at[1] == 0xBC ? 0xE7C7 : leftToTheLibrary;
    if (length != 4)
        return leftToTheLibrary;
    if (at[0] < 0x90) {
        constexpr std::array<uchar, 4> movedBy2005 = {0x81, 0x35, 0xF4, 0x37};
        return std::equal(movedBy2005.cbegin(), movedBy2005.cend(), at) ? 0x1E3F : leftToTheLibrary;
    }
    if (at[2] < 0x81 || at[2] == 0xFF || !isDigitByte(at[3]))
        return invalidCharacter;
    const int offset = (((at[0] - 0x90) * 10 + (at[1] - 0x30)) * 126 + (at[2] - 0x81)) * 10 + (at[3] - 0x30);
    constexpr int supplementaryCharacters = 0x100000;
    return offset < supplementaryCharacters ? 0x10000 + offset : invalidCharacter;
}

// Code pages 850 and 866: ICU swaps three control characters, as IBM's code pages do.
int pcControlOwnCharacter(const uchar *at, int /*length*/)
{
    return *at == 0x1A || *at == 0x1C || *at == 0x7F ? *at : leftToTheLibrary;
}

// ISO 8859-7 as of 2003, which ICU and Python read: Qt's own codec refuses its three additions.
int greekOwnCharacter(const uchar *at, int /*length*/)
{
    switch (*at) {
    case 0xA4:
        return 0x20AC; // euro
    case 0xA5:
        return 0x20AF; // drachma
    case 0xAA:
        return 0x037A; // ypogegrammeni
    default:
        return leftToTheLibrary;
    }
}

// ISO 8859-8 as ICU and Python read it: Qt's own codec reads 0xAF as an overline and refuses the
// two direction marks.
int hebrewOwnCharacter(const uchar *at, int /*length*/)
{
    switch (*at) {
    case 0xAF:
        return 0x00AF; // macron
    case 0xFD:
        return 0x200E; // left-to-right mark
    case 0xFE:
        return 0x200F; // right-to-left mark
    default:
        return leftToTheLibrary;
    }
}

// Windows-1253 leaves 0xAA undefined, which ICU reads as a feminine ordinal.
int windows1253OwnCharacter(const uchar *at, int /*length*/)
{
    return *at == 0xAA ? invalidCharacter : leftToTheLibrary;
}

bool decodeAscii(const QByteArray &bytes, QString &text)
{
    const auto *const beyondAscii = std::find_if(bytes.cbegin(), bytes.cend(), [](char byte) { return (byte & 0x80) != 0; });
    text = QString::fromLatin1(bytes.constData(), int(beyondAscii - bytes.cbegin()));
    return beyondAscii == bytes.cend();
}

#ifdef Q_OS_WIN
// Qt's own codecs for these code pages read them otherwise than Windows does; Windows itself
// decodes them.
bool decodeWithCodePage(UINT codePage, const char *bytes, int size, QString &text)
{
    text.resize(size); // each byte gives at most one UTF-16 unit
    const int units = size == 0 ? 0
                                : MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, size,
                                                      reinterpret_cast<wchar_t *>(text.data()), size);
    text.resize(units);
    return units > 0 || size == 0;
}

// Windows tells only that some character is invalid: which one it is, is found one character at
// a time.
template <UINT codePage, int (*characterLength)(const uchar *, const uchar *)>
bool decodeCodePageRun(const QByteArray &bytes, QString &text)
{
    if (decodeWithCodePage(codePage, bytes.constData(), bytes.size(), text))
        return true;
    text.clear();
    const auto *const start = reinterpret_cast<const uchar *>(bytes.constData());
    QString character;
    for (int at = 0, length = 0; at < bytes.size(); at += length) {
        length = characterLength(start + at, start + bytes.size());
        if (!decodeWithCodePage(codePage, bytes.constData() + at, length, character))
            return false;
        text += character;
    }
    return true;
}
#endif

// Windows' own code page on Windows, and on Linux ICU, whose table for it is Windows' own.
template <unsigned codePage, int (*characterLength)(const uchar *, const uchar *)>
ValidPartDecoder windowsCodePage(const ValidPartDecoder &decodeWithQt)
{
#ifdef Q_OS_WIN
    Q_UNUSED(decodeWithQt)
    return decodeCodePageRun<codePage, characterLength>;
#else
    return decodeWithQt;
#endif
}

} // namespace

QByteArray commonEncodingName(const QByteArray &declared)
{
    return commonNameByKey().value(nameKey(declared), declared);
}

ValidPartDecoder ownDecoder(const QByteArray &name, const ValidPartDecoder &decodeWithQt)
{
    if (name == "US-ASCII")
        return decodeAscii;
    if (name == "Shift_JIS")
        return inRuns<codePage932Length, codePage932OwnCharacter>(windowsCodePage<932, codePage932Length>(decodeWithQt));
    if (name == "GBK")
        return inRuns<leadBytePairLength, lastByteReadAs<0xF8F5>>(windowsCodePage<936, leadBytePairLength>(decodeWithQt));
    if (name == "windows-949")
        return inRuns<leadBytePairLength, lastByteReadAs<0xF8F7>>(windowsCodePage<949, leadBytePairLength>(decodeWithQt));
    if (name == "Big5")
        return inRuns<leadBytePairLength, lastByteReadAs<0xF8F8>>(windowsCodePage<950, leadBytePairLength>(decodeWithQt));
    if (name == "TIS-620")
        return inRuns<oneByte, codePage874OwnCharacter>(windowsCodePage<874, oneByte>(decodeWithQt));
    if (name == "EUC-JP")
        return inRuns<eucJpLength, eucJpOwnCharacter>(decodeWithQt);
    if (name == "GB18030")
        return inRuns<gb18030Length, gb18030OwnCharacter>(decodeWithQt);
    if (name == "IBM850" || name == "IBM866")
        return inRuns<oneByte, pcControlOwnCharacter>(decodeWithQt);
    if (name == "ISO-8859-7")
        return inRuns<oneByte, greekOwnCharacter>(decodeWithQt);
    if (name == "ISO-8859-8")
        return inRuns<oneByte, hebrewOwnCharacter>(decodeWithQt);
    if (name == "windows-1253")
        return inRuns<oneByte, windows1253OwnCharacter>(decodeWithQt);
    return {};
}
