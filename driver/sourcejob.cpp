#include "sourcejob.h"

void convertEntries(ConfigGenerator &generator, QDomNode &section, OutputWriter &output)
{
    for (QDomNode entry = section.firstChild(); !entry.isNull(); entry = section.firstChild()) {
        const QDomNode configuration = generator.convertEntry(entry);
        if (!configuration.isNull())
            output.append(configuration);
        section.removeChild(entry);
    }
}

std::optional<WriteResult> convertSourceFile(ConfigGenerator &generator, const QDomNode &templateRoot,
                                             const QString &sourcePath, const QString &outputPath, QString *writeError)
{
    QDomDocument sourceDocument;
    QDomNode section = generator.loadSectionElement(sourcePath, QStringLiteral("mainFiles"), sourceDocument);
    if (section.isNull())
        return std::nullopt;
    // Entries are converted even when the output cannot be written, for their console lines.
    OutputWriter output(templateRoot, outputPath);
    convertEntries(generator, section, output);
    const WriteResult result = output.finish();
    if (writeError != nullptr)
        *writeError = output.errorString();
    return result;
}
