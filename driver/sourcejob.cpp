#include "sourcejob.h"

#include <QList>

void convertEntries(ConfigGenerator &generator, QDomNode &section, Diagnostics &diagnostics,
                    const std::function<void(const QDomNode &)> &take)
{
    for (QDomNode entry = section.firstChild(); !entry.isNull(); entry = section.firstChild()) {
        const QDomNode configuration = generator.convertEntry(entry, &diagnostics);
        if (!configuration.isNull())
            take(configuration);
        section.removeChild(entry);
    }
}

SourceOutcome convertSourceFile(ConfigGenerator &generator, const QDomNode &templateRoot, const QString &sourcePath,
                                const QString &outputPath, const RunSettings &settings, Diagnostics &diagnostics)
{
    QDomDocument sourceDocument;
    QDomNode section = generator.loadSectionElement(sourcePath, QStringLiteral("mainFiles"), sourceDocument, &diagnostics);
    if (section.isNull())
        return {};
    if (!settings.check && !settings.strict) {
        // Entries are converted even when the output cannot be written, for their console lines.
        OutputWriter output(templateRoot, outputPath);
        convertEntries(generator, section, diagnostics, [&output](const QDomNode &configuration) { output.append(configuration); });
        return output.finish();
    }
    // Whether a source has warnings is known only once all of it is converted: until then its
    // configurations wait, and the output file is not touched.
    QList<QDomNode> configurations;
    convertEntries(generator, section, diagnostics, [&configurations, &settings](const QDomNode &configuration) {
        if (!settings.check)
            configurations << configuration;
    });
    if (settings.check)
        return {SourceOutcome::Convertible, QString()};
    if (diagnostics.warnings() > 0)
        return {SourceOutcome::HasWarnings, QString()};
    OutputWriter output(templateRoot, outputPath);
    for (const QDomNode &configuration : configurations)
        output.append(configuration);
    return output.finish();
}
