// Arbitrary bytes as a source file, through the whole job for it: load the section, convert every
// entry into a copy of the template root, and write the tree with the tool's own output writer.

#include "fuzzworkspace.h"
#include "sourcejob.h"

#include <QDomDocument>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static SourceJob job;
    job.workspace.writeFile(QStringLiteral("source.xml"), data, size);
    convertSourceFile(job.generator, job.templateRoot, job.workspace.path(QStringLiteral("source.xml")),
                      job.workspace.path(QStringLiteral("output.xml")));
    return 0;
}
