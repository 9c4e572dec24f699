#ifndef OUTPUTWRITER_H
#define OUTPUTWRITER_H

#include <QBuffer>
#include <QByteArray>
#include <QDomNode>
#include <QSaveFile>
#include <QString>
#include <QTextStream>

enum class WriteResult {
    Written,
    CannotOpen, // nothing was touched at the output path
    CannotWrite, // the new file was discarded; whatever stood at the output path is unchanged
};

// Writes one output file: the template's root element with configurations appended, in UTF-8
// indented by 4, byte for byte as Qt's DOM writes such a tree. The configurations are written
// one at a time as they come, so that the output tree never exists as a whole: a large source's
// output needs no more memory than its largest configuration. The file at `outputPath` is
// replaced only by finish(), once the new content has been written completely.
class OutputWriter
{
public:
    OutputWriter(const QDomNode &templateRoot, const QString &outputPath);
    OutputWriter(const OutputWriter &) = delete;
    OutputWriter &operator=(const OutputWriter &) = delete;

    // Writes `configuration` (an element without a parent) as the next child of the root.
    // Does nothing when the file could not be created or a write has failed.
    void append(const QDomNode &configuration);

    // Ends the file and puts it in place.
    WriteResult finish();

private:
    void startContent();
    QByteArray serialized(const QDomNode &node);

    QDomNode templateRoot;
    QSaveFile file;
    QBuffer scratch; // what the DOM writes of one node, before it goes to the file
    QTextStream scratchStream;
    QByteArray tail; // what follows the last configuration
    bool indentNext = true; // the DOM indents an element only when no text comes right before it
    bool opened = false;
    bool started = false;
};

#endif
