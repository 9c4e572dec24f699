#ifndef WORKINGFOLDER_H
#define WORKINGFOLDER_H

#include <QString>

// The tool works in the folder it is started from, and finds everything there by these fixed
// names; the user's guide (README.md, the manual page) documents the same ones.
namespace WorkingFolder {

// Every output file starts from this template's root element.
inline const QString templatePath = QStringLiteral("Template/PostProcessorTemplate.xml");

// Where the file dialog opens, with its caption and the files it offers.
inline const QString sourceFolder = QStringLiteral("SourceFiles");
inline const QString dialogCaption = QStringLiteral("Open XML File");
inline const QString dialogFilter = QStringLiteral("XML files (*.xml)");

// Where the output files go, as <user name>_<source file name>; the folder must exist.
inline const QString outputFolder = QStringLiteral("GenerateFiles/");

// The environment variable that names the user.
constexpr const char *userNameVariable = "USERNAME";

} // namespace WorkingFolder

#endif
