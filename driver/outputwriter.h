#ifndef OUTPUTWRITER_H
#define OUTPUTWRITER_H

#include "sourceoutcome.h"

#include <QByteArray>
#include <QDomNode>
#include <QFileDevice>
#include <QString>
#include <QTextStream>

#include <memory>

// Writes one output file: the template's root element with configurations appended, in UTF-8
// indented by 4, byte for byte as Qt's DOM writes such a tree. The configurations are written
// one at a time as they come, so that the output tree never exists as a whole: a large source's
// output needs no more memory than its largest configuration. A regular file at `outputPath` is
// replaced only by finish(), once the new content has been written completely; but where its folder
// may not be written into, a writable file is rewritten in place. A named pipe or a device there
// (or a symlink to one) is written into, since a file put in its place would never reach its reader.
// A symlink there is followed only when it is the user's own and leads to a file.
class OutputWriter
{
public:
    OutputWriter(const QDomNode &templateRoot, const QString &outputPath);
    OutputWriter(const OutputWriter &) = delete;
    OutputWriter &operator=(const OutputWriter &) = delete;

    // Writes `configuration` (an element without a parent) as the next child of the root.
    // Does nothing when the file could not be created or a write has failed.
    void append(const QDomNode &configuration);

    // Ends the file and puts it in place: Written, CannotOpenOutput or CannotWrite, with the file
    // system's words for why.
    SourceOutcome finish();

private:
    void startContent();
    bool flushed();
    QByteArray serialized(const QDomNode &node);

    QDomNode templateRoot;
    QString refusal; // why the output path is not written through
    std::unique_ptr<QFileDevice> file;
    QByteArray scratch; // what the DOM writes of one node, before it goes to the file
    QTextStream scratchStream;
    QByteArray tail; // what follows the last configuration
    bool indentNext = true; // the DOM indents an element only when no text comes right before it
    bool started = false;
};

#endif
