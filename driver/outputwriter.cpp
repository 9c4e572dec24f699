#include "outputwriter.h"

#include <QSaveFile>
#include <QTextStream>

namespace {

// Collects what a text stream writes and hands it on to the file in large blocks. Qt's DOM
// serializer ends every line with a flushing line end, and a text stream flushes a file under it
// every time: one write system call per line. This device is no file, so the stream does not
// flush it, and it holds no more than one block, where a buffer would hold the whole output.
class BlockWriter : public QIODevice
{
public:
    explicit BlockWriter(QIODevice &target) : target(target)
    {
        block.reserve(2 * blockSize);
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    // Hands on what is left; false when the file has refused any part of a block.
    bool finish() { return passOn() && !failed; }

protected:
    qint64 readData(char * /*data*/, qint64 /*maxSize*/) override { return -1; }

    qint64 writeData(const char *data, qint64 size) override
    {
        block.append(data, static_cast<int>(size));
        if (block.size() >= blockSize && !passOn())
            return -1;
        return size;
    }

private:
    bool passOn()
    {
        if (target.write(block) != block.size())
            failed = true;
        block.resize(0); // keeps the reserved capacity
        return !failed;
    }

    static constexpr int blockSize = 1 << 20;
    QIODevice &target;
    QByteArray block;
    bool failed = false;
};

} // namespace

WriteResult writeOutputTree(const QDomNode &outputTree, const QString &outputPath)
{
    QSaveFile file(outputPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return WriteResult::CannotOpen;

    BlockWriter blocks(file);
    QTextStream stream(&blocks);
    stream.setCodec("UTF-8");
    outputTree.save(stream, 4, QDomNode::EncodingFromDocument);

    // QTextStream and QSaveFile::commit() can both lose a failed write (a full disk, a file size
    // limit), so push every byte to the disk here and check, while the write can still be undone.
    stream.flush();
    if (stream.status() != QTextStream::Ok || !blocks.finish() || !file.flush()
        || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return WriteResult::CannotWrite;
    }
    return file.commit() ? WriteResult::Written : WriteResult::CannotWrite;
}
