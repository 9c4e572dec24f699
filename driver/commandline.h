#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include "configgenerator.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

// What the command line asks of the tool: its help, its version, the dialog, or the sources named.
class CommandLine
{
public:
    // Qt's options show in the help only with the flags that --help-all gives them.
    explicit CommandLine(QCommandLineOption::Flags qtOptionFlags = QCommandLineOption::HiddenFromHelp);

    // Returns false for an unknown option or one without its value; errorLine() then says which.
    bool parse(const QStringList &arguments);
    QString errorLine() const;

    bool asksForHelp() const;
    bool asksForVersion() const;
    // --check, --strict and --quiet.
    RunSettings runSettings() const;
    QString helpText() const;

    // -platform or -display says where the dialog shows, as DISPLAY does.
    bool namesADisplay() const;
    // The sources named, in their order; none when a person chooses them in the dialog. Windows'
    // shells leave wildcards to the program: there a name holding * or ? stands for the files that
    // match it.
    QStringList sources() const;

private:
    QCommandLineParser parser;
    const QCommandLineOption helpOption;
    const QCommandLineOption versionOption;
    const QCommandLineOption checkOption;
    const QCommandLineOption strictOption;
    const QCommandLineOption quietOption;
};

// The program's arguments as Qt's application object would read them, before there is one: on
// Windows in the UTF-16 that the system keeps them in, which the C library's argv would narrow to
// the ANSI code page.
QStringList programArguments(int argc, char **argv);

// The options that Qt 5.15 itself takes off a widget program's command line. The tool knows them so
// as to tell their values from sources; they take effect only in the dialog.
QList<QCommandLineOption> qtOptions();

#endif
