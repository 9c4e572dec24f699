#ifndef SOURCEJOB_H
#define SOURCEJOB_H

#include "configgenerator.h"
#include "diagnostics.h"
#include "outputwriter.h"

#include <QDomNode>
#include <QString>

#include <functional>

// What a run does with the configurations it makes.
enum class OutputMode {
    Write, // every source that can be read is written
    WriteWithoutWarnings, // a source with any warning is not written (--strict)
    Check, // nothing is written (--check)
};

// Converts the entries of `section` in document order and hands every configuration to `take`.
// Each entry is taken off the section once converted, so that the job never holds the whole source
// and the whole output at once.
void convertEntries(ConfigGenerator &generator, QDomNode &section, Diagnostics &diagnostics,
                    const std::function<void(const QDomNode &)> &take);

// The whole work for one source file: load its section, and write a copy of the template root with
// the configurations of its entries to `outputPath` as `mode` says.
SourceOutcome convertSourceFile(ConfigGenerator &generator, const QDomNode &templateRoot, const QString &sourcePath,
                                const QString &outputPath, OutputMode mode, Diagnostics &diagnostics);

#endif
