#ifndef DIAGNOSTICS_H
#define DIAGNOSTICS_H

#include <QDomNode>
#include <QString>
#include <QStringList>

// Where something stands in a file, counted as the parse-error line counts: lines and columns from
// 1, a line end read as XML reads it. A column of 0 is not known; a line of 0 means the whole file.
struct FilePosition
{
    int line = 0;
    int column = 0;
};

// Where Qt's DOM parser put `node`: for an element the end of its start tag, for character data
// the character after it.
FilePosition positionOf(const QDomNode &node);

// The one of `known` that `written` most likely stands for: the same in another letter case, or
// at most two letters off (a letter left out, added or changed, two side by side swapped). Empty
// when none is that close.
QString likelyMeant(const QString &written, const QStringList &known);

// What the tool says of one file beyond the console dialogue: what it left out, what looks wrong
// and why it could not use the file. Each is one line on standard error, in the form editors and
// CI systems read: PATH:LINE:COLUMN: warning: TEXT. Standard output stays the dialogue.
class Diagnostics
{
public:
    enum Severity { Note, Warning, Error };

    // `path` as the user named or chose the file. `quiet` keeps notes and warnings back, not errors.
    explicit Diagnostics(const QString &path, bool quiet = false);

    void report(Severity severity, FilePosition position, const QString &text);
    // An entry of the source that makes no configuration, with its warning.
    void reportEntryLeftOut(FilePosition position, const QString &text);

    int warnings() const { return warningCount; }
    int entriesLeftOut() const { return entriesLeftOutCount; }

private:
    QString shownPath;
    bool quiet;
    int warningCount = 0;
    int entriesLeftOutCount = 0;
};

#endif
