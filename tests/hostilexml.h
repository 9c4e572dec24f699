#ifndef HOSTILEXML_H
#define HOSTILEXML_H

#include <QByteArray>
#include <QDomDocument>
#include <QString>
#include <QSysInfo>
#include <QTextCodec>

// Documents built to break an XML reader, shared by the unit and the end-to-end tests.

// A document that opens with `start`, then nests `levels` elements in each other and closes
// everything again.
inline QByteArray nestedDocument(const QByteArray &start, int levels)
{
    QByteArray end;
    for (int at = start.indexOf('<'); at >= 0; at = start.indexOf('<', at + 1))
        end.prepend("</" + start.mid(at + 1, start.indexOf('>', at) - at - 1) + '>');
    return start + QByteArray("<a>").repeated(levels) + QByteArray("</a>").repeated(levels) + end;
}

// A document whose type declaration nests `levels` groups in one content model; cut short after
// the groups open, where `closed` is false.
inline QByteArray nestedContentModel(int levels, bool closed = true)
{
    const QByteArray start = "<!DOCTYPE job [\n<!ELEMENT job " + QByteArray(levels, '(');
    return closed ? start + "mainFiles" + QByteArray(levels, ')') + ">]><job><mainFiles/></job>" : start;
}

// Each entity stands for ten of the one before it: a few hundred bytes that would expand to a
// gigabyte.
inline QByteArray entityBomb()
{
    QByteArray declarations = "<!ENTITY e0 'lol'>";
    for (int level = 1; level <= 9; ++level)
        declarations += "<!ENTITY e" + QByteArray::number(level) + " '"
            + QByteArray("&e" + QByteArray::number(level - 1) + ';').repeated(10) + "'>";
    return "<!DOCTYPE job [" + declarations + "]><job><mainFiles><f>&e9;</f></mainFiles></job>";
}

// The parse-error line, ended, for what Qt's DOM parser reports of `asRead`: the bytes of a file as
// the tool reads them, with a line feed for each line end.
inline QString domErrorLine(const QByteArray &asRead)
{
    QString message;
    int line = 0;
    int column = 0;
    if (QDomDocument().setContent(asRead, &message, &line, &column))
        return QStringLiteral("accepted by the DOM parser");
    return QStringLiteral("Parse error%1Line:%2Column:%3\n").arg(message).arg(line).arg(column);
}

inline QByteArray utf16WithByteOrderMark(const QString &text, QSysInfo::Endian order = QSysInfo::ByteOrder)
{
    // Qt's codecs for one byte order write the byte-order mark first.
    return QTextCodec::codecForName(order == QSysInfo::BigEndian ? "UTF-16BE" : "UTF-16LE")->fromUnicode(text);
}

#endif
