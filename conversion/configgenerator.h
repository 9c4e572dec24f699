#ifndef CONFIGGENERATOR_H
#define CONFIGGENERATOR_H

#include "diagnostics.h"
#include "workingfolder.h"

#include <QDomDocument>
#include <QDomNode>
#include <QString>
#include <QStringList>

// Turns source XML files into post-processor configuration files: every output is a copy of the
// template's root element followed by one "Configulation" element per recognised source entry.
// How a run treats what it finds in the sources, as the command line asks.
struct RunSettings
{
    bool check = false; // convert and report, write nothing
    bool strict = false; // a source with any warning is not written
    bool quiet = false; // notes, warnings and the batch's summary are kept back
};

class ConfigGenerator
{
public:
    ConfigGenerator() : templatePath(WorkingFolder::templatePath) {}

    // Runs batches until the user declines another, then ends the process (status 0); a missing
    // template or USERNAME ends it at start (status 1).
    [[noreturn]] void runBatches(const RunSettings &settings = {});

    // Converts the named sources as one batch, without dialog or prompt, and ends the process:
    // status 0 when every source was written (checked: when nothing was left out), 2 when any was
    // not, 1 as runBatches at start.
    [[noreturn]] void runNamedSources(const QStringList &sourcePaths, const RunSettings &settings = {});

    // Shows the file dialog; when nothing is chosen, asks on the console whether to try again.
    QStringList selectSourceFiles();

    // Qt's DOM frees every node of a document together with the last handle to that document, so
    // the loaders hand the parsed document to the caller: the returned element stays usable only
    // while the caller keeps `document`. Failures print their console line and return a null node;
    // `diagnostics`, when given, hears why and where.
    QDomNode loadTemplateRoot(QDomDocument &document, Diagnostics *diagnostics = nullptr);
    QDomNode loadSectionElement(const QString &path, const QString &tag, QDomDocument &document,
                                Diagnostics *diagnostics = nullptr);

    // Makes the "Configulation" element for one source entry, or a null node when the entry's
    // kind is empty or unknown. The new nodes belong to the entry's document. `diagnostics`, when
    // given, hears of what the entry loses: a kind or a marker the tool does not know, markup in
    // the content, an empty configuration.
    QDomNode convertEntry(const QDomNode &entry, Diagnostics *diagnostics = nullptr);

private:
    QString templatePath;
};

#endif
