#ifndef SOURCEJOB_H
#define SOURCEJOB_H

#include "configgenerator.h"
#include "outputwriter.h"

#include <QDomNode>
#include <QString>

#include <optional>

// The whole work for one chosen source file: load its section, convert every entry into a copy of
// the template root and write that tree to `outputPath`. Returns std::nullopt, with nothing written,
// when the source has no usable section (the loader has printed why).
std::optional<WriteResult> convertSourceFile(ConfigGenerator &generator, const QDomNode &templateRoot,
                                             const QString &sourcePath, const QString &outputPath);

#endif
