// Arbitrary bytes as the template: load its root, then copy and write it as every run does.

#include "configgenerator.h"
#include "fuzzworkspace.h"
#include "outputwriter.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzWorkspace &workspace = workingDirectory();
    workspace.writeFile(QStringLiteral("Template/PostProcessorTemplate.xml"), data, size);
    ConfigGenerator generator;
    QDomDocument templateDocument;
    const QDomNode templateRoot = generator.loadTemplateRoot(templateDocument);
    if (!templateRoot.isNull())
        OutputWriter(templateRoot, workspace.path(QStringLiteral("output.xml"))).finish();
    return 0;
}
