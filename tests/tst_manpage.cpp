// The manual page (driver/configgen.1) and README.md tell the user the same things in two forms.
// Every literal that the page sets in bold - a path, a console message, an element, a value -
// must stand in README.md too, so that a message or path changed in the README cannot live on,
// stale, in the page. The options the program's usage text names and those the page names are
// the same, so that neither can offer what the program does not take.

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTest>

namespace {

QString readText(const char *path)
{
    QFile file(QString::fromUtf8(path));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", path);
    return QString::fromUtf8(file.readAll());
}

// Splits a macro line's arguments as roff does: on spaces, with double quotes around an argument
// that holds spaces.
QStringList macroArguments(const QString &arguments)
{
    QStringList found;
    static const QRegularExpression argument(QStringLiteral("\"([^\"]*)\"|(\\S+)"));
    for (auto match = argument.globalMatch(arguments); match.hasNext();) {
        const QRegularExpressionMatch next = match.next();
        found << (next.capturedLength(1) > 0 ? next.captured(1) : next.captured(2));
    }
    return found;
}

QStringList boldTexts(const QString &page)
{
    QStringList found;
    static const QRegularExpression macro(QStringLiteral("^\\.(B|BR|BI|RB|IB)(?: (.*))?$"),
                                          QRegularExpression::MultilineOption);
    for (auto match = macro.globalMatch(page); match.hasNext();) {
        const QRegularExpressionMatch next = match.next();
        const QString name = next.captured(1);
        const QStringList arguments = macroArguments(next.captured(2));
        if (name == QLatin1String("B")) {
            found << arguments.join(QLatin1Char(' '));
            continue;
        }
        // The alternating macros set every other argument in bold, starting with the first
        // for .BR and .BI, with the second for .RB and .IB.
        for (int index = name.startsWith(QLatin1Char('B')) ? 0 : 1; index < arguments.size(); index += 2)
            found << arguments.at(index);
    }
    static const QRegularExpression inlineBold(QStringLiteral("\\\\fB(.*?)\\\\f[PRI]"));
    for (auto match = inlineBold.globalMatch(page); match.hasNext();)
        found << match.next().captured(1);
    return found;
}

QString withoutEscapes(QString text)
{
    text.replace(QLatin1String("\\-"), QLatin1String("-"));
    text.replace(QLatin1String("\\&"), QString());
    text.replace(QLatin1String("\\e"), QLatin1String("\\"));
    return text;
}

QStringList optionsIn(const QString &text)
{
    QStringList found;
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[a-z][a-z-]*"));
    for (auto match = option.globalMatch(text); match.hasNext();)
        found << match.next().captured();
    found.removeDuplicates();
    found.sort();
    return found;
}

QString usageText()
{
    QProcess program;
    program.start(QStringLiteral(CONFIGGEN_EXECUTABLE), {QStringLiteral("--help")});
    if (!program.waitForFinished(10000) || program.exitCode() != 0)
        qFatal("configgen --help failed");
    return QString::fromUtf8(program.readAllStandardOutput());
}

} // namespace

class ManPageTest : public QObject {
    Q_OBJECT
private slots:
    void everyBoldLiteralStandsInTheReadme()
    {
        const QStringList literals = boldTexts(readText(MANPAGE_PATH));
        QVERIFY2(!literals.isEmpty(), "the page sets nothing in bold: is it still a manual page?");
        // Markdown may wrap a code span across lines: compare with white space folded.
        const QString readme = readText(README_PATH).simplified();
        QStringList missing;
        for (const QString &bold : literals) {
            const QString literal = withoutEscapes(bold).simplified();
            QVERIFY2(!literal.contains(QLatin1Char('\\')),
                     qPrintable(QStringLiteral("the bold text '%1' has a roff escape that this test cannot read").arg(bold)));
            if (!readme.contains(literal))
                missing << literal;
        }
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("the manual page states what README.md does not: '%1'")
                                .arg(missing.join(QLatin1String("', '")))));
    }

    void pageAndUsageTextNameTheSameOptions()
    {
        QStringList boldOptions;
        for (const QString &bold : boldTexts(readText(MANPAGE_PATH)))
            boldOptions << optionsIn(withoutEscapes(bold));
        boldOptions.removeDuplicates();
        boldOptions.sort();
        QCOMPARE(boldOptions, optionsIn(usageText()));
    }
};

QTEST_GUILESS_MAIN(ManPageTest)
#include "tst_manpage.moc"
