#ifndef SOURCEJOB_H
#define SOURCEJOB_H

#include "configgenerator.h"
#include "diagnostics.h"
#include "outputwriter.h"

#include <QDomNode>
#include <QString>

#include <functional>

// Converts the entries of `section` in document order and hands every configuration to `take`.
// Each entry is taken off the section once converted, so that the job never holds the whole source
// and the whole output at once.
void convertEntries(ConfigGenerator &generator, QDomNode &section, Diagnostics &diagnostics,
                    const std::function<void(const QDomNode &)> &take);

// The whole work for one source file: load its section, and write a copy of the template root with
// the configurations of its entries to `outputPath`: not with --check, and not with --strict when it
// has warnings.
SourceOutcome convertSourceFile(ConfigGenerator &generator, const QDomNode &templateRoot, const QString &sourcePath,
                                const QString &outputPath, const RunSettings &settings, Diagnostics &diagnostics);

#endif
