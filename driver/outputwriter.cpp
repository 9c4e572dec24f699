#include "outputwriter.h"

#include <QSaveFile>
#include <QTextStream>

WriteResult writeOutputTree(const QDomNode &outputTree, const QString &outputPath)
{
    QSaveFile file(outputPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return WriteResult::CannotOpen;

    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    outputTree.save(stream, 4, QDomNode::EncodingFromDocument);

    // QTextStream and QSaveFile::commit() can both lose a failed write (a full disk, a file size
    // limit), so push every byte to the disk here and check, while the write can still be undone.
    stream.flush();
    if (stream.status() != QTextStream::Ok || !file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return WriteResult::CannotWrite;
    }
    return file.commit() ? WriteResult::Written : WriteResult::CannotWrite;
}
