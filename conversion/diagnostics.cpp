#include "diagnostics.h"

#include "console.h"

#include <QDir>
#include <QVector>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

constexpr int closeEnough = 2;

// Letters to add, remove, change or swap with their neighbour to make `a` into `b`.
int editDistance(const QString &a, const QString &b)
{
    const int width = b.size() + 1;
    QVector<int> distance((a.size() + 1) * width);
    const auto at = [&distance, width](int i, int j) -> int & { return distance[i * width + j]; };
    for (int i = 0; i <= a.size(); ++i) {
        for (int j = 0; j <= b.size(); ++j) {
            if (i == 0 || j == 0) {
                at(i, j) = i + j;
                continue;
            }
            const int change = a.at(i - 1) == b.at(j - 1) ? 0 : 1;
            at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + change});
            if (i > 1 && j > 1 && a.at(i - 1) == b.at(j - 2) && a.at(i - 2) == b.at(j - 1))
                at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
        }
    }
    return at(a.size(), b.size());
}

} // namespace

FilePosition positionOf(const QDomNode &node)
{
    return {node.lineNumber() > 0 ? node.lineNumber() : 0, node.columnNumber() > 0 ? node.columnNumber() : 0};
}

QString likelyMeant(const QString &written, const QStringList &known)
{
    const QString folded = written.toCaseFolded();
    QString nearest;
    int nearestDistance = closeEnough + 1;
    for (const QString &candidate : known) {
        // A text far longer or shorter than the candidate needs no table of distances.
        if (std::abs(written.size() - candidate.size()) > closeEnough)
            continue;
        const int distance = editDistance(folded, candidate.toCaseFolded());
        if (distance < nearestDistance) {
            nearest = candidate;
            nearestDistance = distance;
        }
    }
    return nearest;
}

Diagnostics::Diagnostics(const QString &path, bool quiet) : shownPath(QDir::toNativeSeparators(path)), quiet(quiet) {}

void Diagnostics::report(Severity severity, FilePosition position, const QString &text)
{
    static constexpr std::array<const char *, 3> severityNames = {"note", "warning", "error"};
    if (severity == Warning)
        ++warningCount;
    if (quiet && severity != Error)
        return;
    QString where = shownPath;
    if (position.line > 0)
        where += QLatin1Char(':') + QString::number(position.line);
    if (position.line > 0 && position.column > 0)
        where += QLatin1Char(':') + QString::number(position.column);
    printErrorLine(where + QStringLiteral(": ") + QLatin1String(severityNames[severity]) + QStringLiteral(": ") + text);
}

void Diagnostics::reportEntryLeftOut(FilePosition position, const QString &text)
{
    ++entriesLeftOutCount;
    report(Warning, position, text);
}
