#ifndef OUTPUTWRITER_H
#define OUTPUTWRITER_H

#include <QDomNode>
#include <QString>

enum class WriteResult {
    Written,
    CannotOpen, // nothing was touched at the output path
    CannotWrite, // the new file was discarded; whatever stood at the output path is unchanged
};

// Writes `outputTree` to `outputPath` as UTF-8 XML indented by 4. The file at `outputPath` is
// replaced only once the new content has been written completely.
WriteResult writeOutputTree(const QDomNode &outputTree, const QString &outputPath);

#endif
