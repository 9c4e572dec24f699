#include "outputwriter.h"

#include <QBuffer>
#include <QSaveFile>
#include <QTextStream>

namespace {

// Qt's DOM serializer ends every line with a flushing line end, and a text stream flushes a file
// under it on every flush: one write system call per line. Serializing into memory instead gives
// the same bytes for a single write. (Line ends still follow the file's text mode, as before.)
QByteArray serializedAsUtf8(const QDomNode &outputTree)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QTextStream stream(&buffer);
    stream.setCodec("UTF-8");
    outputTree.save(stream, 4, QDomNode::EncodingFromDocument);
    stream.flush();
    return bytes;
}

} // namespace

WriteResult writeOutputTree(const QDomNode &outputTree, const QString &outputPath)
{
    QSaveFile file(outputPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return WriteResult::CannotOpen;

    // QSaveFile::commit() can lose a failed write (a full disk, a file size limit), so push every
    // byte to the disk here and check, while the write can still be undone.
    const QByteArray bytes = serializedAsUtf8(outputTree);
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return WriteResult::CannotWrite;
    }
    return file.commit() ? WriteResult::Written : WriteResult::CannotWrite;
}
