// Arbitrary bytes as a source file, through the whole job for it: load the section, convert every
// entry and write each configuration with the tool's own output writer. The file written must be
// what Qt's DOM writes of the template root with every configuration appended.

#include "domtext.h"
#include "fuzzworkspace.h"
#include "sourcejob.h"

#include <QDomDocument>
#include <QFile>

#include <cstdlib>

namespace {

struct SourceJob
{
    SourceJob()
    {
        if (!templateDocument.setContent(QByteArrayLiteral("<Post Version=\"1\"><Machine Axis=\"2\"/></Post>")))
            std::abort();
        templateRoot = templateDocument.documentElement();
    }

    FuzzWorkspace workspace;
    ConfigGenerator generator;
    QDomDocument templateDocument;
    QDomNode templateRoot;
};

// What the DOM writes of the template root with the configurations of every entry appended.
QByteArray treeAsTheDomWritesIt(SourceJob &job, const QString &sourcePath)
{
    QDomDocument sourceDocument;
    const QDomNode section = job.generator.loadSectionElement(sourcePath, QStringLiteral("mainFiles"), sourceDocument);
    QDomNode tree = job.templateRoot.cloneNode(true);
    for (QDomNode entry = section.firstChild(); !entry.isNull(); entry = entry.nextSibling()) {
        const QDomNode configuration = job.generator.convertEntry(entry);
        if (!configuration.isNull())
            tree.appendChild(configuration);
    }
    return domText(tree);
}

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
    static SourceJob job;
    job.workspace.writeFile(QStringLiteral("source.xml"), data, size);
    const QString sourcePath = job.workspace.path(QStringLiteral("source.xml"));
    const QString outputPath = job.workspace.path(QStringLiteral("output.xml"));
    Diagnostics diagnostics(sourcePath, /*quiet=*/true);
    if (convertSourceFile(job.generator, job.templateRoot, sourcePath, outputPath, RunSettings(), diagnostics).result
            == SourceOutcome::Written
        && fileContent(outputPath) != treeAsTheDomWritesIt(job, sourcePath))
        std::abort();
    return 0;
}
