#ifndef SOURCEOUTCOME_H
#define SOURCEOUTCOME_H

#include <QString>

// What became of one source. The output writer says how its file went; the console line, the
// diagnostics, the summary and the exit status all read it.
struct SourceOutcome
{
    enum Result {
        Written,
        Convertible, // read and converted, and not to be written
        NotLoaded, // not readable, not well-formed, or without its section: the loader has said why
        OutputTaken, // an earlier source of the batch has its output file
        OutOfMemory, // the memory ran out while the source was read or converted
        HasWarnings, // not written for them
        CannotOpenOutput, // nothing was touched at the output path
        CannotWrite, // a new file was discarded and the old one is unchanged; one written in place is not.
                     // Also a symlink that is not written through: nothing was touched.
    };

    Result result = NotLoaded;
    // The system's reason for CannotOpenOutput, CannotWrite and OutOfMemory, or why a symlink at the
    // output path is not written through; for OutputTaken, the source whose output it is.
    QString reason;

    bool succeeded() const { return result == Written || result == Convertible; }
};

#endif
