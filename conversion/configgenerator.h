#ifndef CONFIGGENERATOR_H
#define CONFIGGENERATOR_H

#include "workingfolder.h"

#include <QDomDocument>
#include <QDomNode>
#include <QString>
#include <QStringList>

// Turns source XML files into post-processor configuration files: every output is a copy of the
// template's root element followed by one "Configulation" element per recognised source entry.
class ConfigGenerator
{
public:
    ConfigGenerator() : templatePath(WorkingFolder::templatePath) {}

    // Runs batches until the user declines another, then ends the process (status 0); a missing
    // template or USERNAME ends it at start (status 1).
    [[noreturn]] void runBatches();

    // Converts the named sources as one batch, without dialog or prompt, and ends the process:
    // status 0 when every source was written, 2 when any was not, 1 as runBatches at start.
    [[noreturn]] void runNamedSources(const QStringList &sourcePaths);

    // Shows the file dialog; when nothing is chosen, asks on the console whether to try again.
    QStringList selectSourceFiles();

    // Qt's DOM frees every node of a document together with the last handle to that document, so
    // the loaders hand the parsed document to the caller: the returned element stays usable only
    // while the caller keeps `document`. Failures print their console line and return a null node.
    QDomNode loadTemplateRoot(QDomDocument &document);
    QDomNode loadSectionElement(const QString &path, const QString &tag, QDomDocument &document);

    // Makes the "Configulation" element for one source entry, or a null node when the entry's
    // kind is empty or unknown. The new nodes belong to the entry's document.
    QDomNode convertEntry(const QDomNode &entry);

private:
    QString templatePath;
};

#endif
