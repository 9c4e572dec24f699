// Arbitrary bytes as the template: load its root, then write it with configurations appended, as
// every run does. The file written must be what Qt's DOM writes of the root with them appended,
// so the output writer's splice around its placeholder is checked on every template.

#include "configgenerator.h"
#include "domtext.h"
#include "fuzzworkspace.h"
#include "outputwriter.h"

#include <QDomDocument>
#include <QFile>

#include <cstdlib>

namespace {

// The template is found relative to the working directory, so the fuzzer works in its own; it
// must therefore be given its corpus by absolute paths.
const FuzzWorkspace &workingDirectory()
{
    static const FuzzWorkspace workspace;
    static const bool entered = QDir::setCurrent(workspace.path(QStringLiteral(".")));
    if (!entered)
        std::abort();
    return workspace;
}

// Two configurations as the tool makes them from a source: items, markers and a text that needs
// escaping.
struct Configurations
{
    Configurations()
    {
        if (!source.setContent(QByteArrayLiteral("<job><mainFiles>"
                                                 "<file><name>left</name><content>T0101 M6\n&lt;leftSet>\na &amp; b</content></file>"
                                                 "<file><name>merge</name><content>\n &lt;other>\n</content></file>"
                                                 "</mainFiles></job>")))
            std::abort();
        const QDomNode section = source.documentElement().firstChildElement(QStringLiteral("mainFiles"));
        for (QDomNode entry = section.firstChild(); !entry.isNull(); entry = entry.nextSibling())
            made.append(generator.convertEntry(entry));
    }

    ConfigGenerator generator;
    QDomDocument source;
    QList<QDomNode> made;
};

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzWorkspace &workspace = workingDirectory();
    static const Configurations configurations;
    workspace.writeFile(QStringLiteral("Template/PostProcessorTemplate.xml"), data, size);
    ConfigGenerator generator;
    QDomDocument templateDocument;
    const QDomNode templateRoot = generator.loadTemplateRoot(templateDocument);
    if (templateRoot.isNull())
        return 0;
    const QString outputPath = workspace.path(QStringLiteral("output.xml"));
    OutputWriter writer(templateRoot, outputPath);
    QDomNode tree = templateRoot.cloneNode(true);
    for (const QDomNode &configuration : configurations.made) {
        writer.append(configuration);
        tree.appendChild(configuration.cloneNode(true));
    }
    if (writer.finish().result == SourceOutcome::Written && fileContent(outputPath) != domText(tree))
        std::abort();
    return 0;
}
