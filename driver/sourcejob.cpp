#include "sourcejob.h"

#include <QHash>

void makeAttributeOrderStable()
{
    // Zero is the one seed with which Qt hashes strings the same way on every machine.
    qSetGlobalQHashSeed(0);
}

void appendConfigurations(ConfigGenerator &generator, QDomNode &section, QDomNode &outputTree)
{
    for (QDomNode entry = section.firstChild(); !entry.isNull(); entry = section.firstChild()) {
        const QDomNode configuration = generator.convertEntry(entry);
        if (!configuration.isNull())
            outputTree.appendChild(configuration);
        section.removeChild(entry);
    }
}

std::optional<WriteResult> convertSourceFile(ConfigGenerator &generator, const QDomNode &templateRoot,
                                             const QString &sourcePath, const QString &outputPath)
{
    QDomDocument sourceDocument;
    QDomNode section = generator.loadSectionElement(sourcePath, QStringLiteral("mainFiles"), sourceDocument);
    if (section.isNull())
        return std::nullopt;
    QDomNode outputTree = templateRoot.cloneNode(true);
    appendConfigurations(generator, section, outputTree);
    return writeOutputTree(outputTree, outputPath);
}
