#include "sourcejob.h"

namespace {

void appendConfigurations(ConfigGenerator &generator, const QDomNode &section, QDomNode &outputTree)
{
    for (QDomNode entry = section.firstChild(); !entry.isNull(); entry = entry.nextSibling()) {
        const QDomNode configuration = generator.convertEntry(entry);
        if (!configuration.isNull())
            outputTree.appendChild(configuration);
    }
}

} // namespace

std::optional<WriteResult> convertSourceFile(ConfigGenerator &generator, const QDomNode &templateRoot,
                                             const QString &sourcePath, const QString &outputPath)
{
    QDomDocument sourceDocument;
    const QDomNode section = generator.loadSectionElement(sourcePath, QStringLiteral("mainFiles"), sourceDocument);
    if (section.isNull())
        return std::nullopt;
    QDomNode outputTree = templateRoot.cloneNode(true);
    appendConfigurations(generator, section, outputTree);
    return writeOutputTree(outputTree, outputPath);
}
