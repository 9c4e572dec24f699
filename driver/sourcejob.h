#ifndef SOURCEJOB_H
#define SOURCEJOB_H

#include "configgenerator.h"
#include "outputwriter.h"

#include <QDomNode>
#include <QString>

#include <optional>

// Converts the entries of `section` in document order and writes every configuration to
// `output`. Each entry is taken off the section once converted and each configuration is freed
// once written, so that the job never holds the whole source and the whole output at once.
void convertEntries(ConfigGenerator &generator, QDomNode &section, OutputWriter &output);

// The whole work for one chosen source file: load its section, write a copy of the template root
// with the configurations of its entries to `outputPath`. Returns std::nullopt, with nothing
// written, when the source has no usable section (the loader has printed why). When the file
// could not be written, `writeError` (if given) receives the file system's reason.
std::optional<WriteResult> convertSourceFile(ConfigGenerator &generator, const QDomNode &templateRoot,
                                             const QString &sourcePath, const QString &outputPath,
                                             QString *writeError = nullptr);

#endif
