#include "configgenerator.h"

#include "console.h"

#include <QFile>

namespace {

// Opens and parses the file at `path` into `document`. Prints `openFailureLine` when the file
// cannot be opened and the parser's own message, line and column when it is not well-formed.
bool readDocument(const QString &path, const QString &openFailureLine, QDomDocument &document)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        printConsoleLine(openFailureLine);
        return false;
    }
    QString message;
    int line = 0;
    int column = 0;
    if (!document.setContent(&file, &message, &line, &column)) {
        printConsoleLine(QStringLiteral("Parse error") + message + QStringLiteral("Line:") + QString::number(line)
                         + QStringLiteral("Column:") + QString::number(column));
        return false;
    }
    return true;
}

} // namespace

QDomNode ConfigGenerator::loadTemplateRoot(QDomDocument &document)
{
    if (!readDocument(templatePath,
                      QStringLiteral("Invalid file path.Please Check PostProcessorTemplate.xml is existed?"),
                      document))
        return {};
    return document.documentElement();
}

QDomNode ConfigGenerator::loadSectionElement(const QString &path, const QString &tag, QDomDocument &document)
{
    if (!readDocument(path, QStringLiteral("Invalid file path"), document))
        return {};
    return document.documentElement().firstChildElement(tag);
}
