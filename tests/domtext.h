#ifndef DOMTEXT_H
#define DOMTEXT_H

#include <QByteArray>
#include <QDomNode>
#include <QTextStream>

// What Qt's DOM writes of `tree` in UTF-8, indented by 4, with line feeds: the bytes that the
// output writer must write, configuration by configuration, for the whole tree.
inline QByteArray domText(const QDomNode &tree)
{
    QByteArray bytes;
    QTextStream stream(&bytes);
    stream.setCodec("UTF-8");
    tree.save(stream, 4, QDomNode::EncodingFromDocument);
    stream.flush();
    return bytes;
}

#endif
