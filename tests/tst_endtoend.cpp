// Runs the real configgen in a real X window: a private Xvfb server shows the file dialog,
// xdotool types into it, and the test checks the console, the exit status and every output byte.
// With CONFIGGEN_WINDOWS_PROGRAM set to a configgen.exe, the same cases run that Windows program
// through Wine, in the same display, with the Windows file dialog.

#include "hostilexml.h"
#include "privatedisplay.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <memory>

#include <sys/stat.h>

namespace {

constexpr int dialogTimeoutMs = 20000;
constexpr int exitTimeoutMs = 30000;
constexpr int xdotoolTimeoutMs = 5000;
constexpr int wineStartTimeoutMs = 180000;

const QString windowsProgram = qEnvironmentVariable("CONFIGGEN_WINDOWS_PROGRAM");
// A Windows program that starts the rest of its command line with CREATE_NO_WINDOW, and waits for it.
const QString noWindowLauncher = qEnvironmentVariable("CONFIGGEN_NO_WINDOW_LAUNCHER");

bool underWine()
{
    return !windowsProgram.isEmpty();
}

// Wine shows the Linux file system as drive Z:.
QString windowsProgramPath()
{
    return QStringLiteral("Z:") + QFileInfo(windowsProgram).absoluteFilePath().replace('/', '\\');
}

// Windows ends the lines of text files, and of the console output that goes to a pipe, with CRLF.
QByteArray platformText(QByteArray text)
{
    return underWine() ? text.replace("\n", "\r\n") : text;
}

// What a person sees of a terminal's bytes: tabs expand to stops every 8 columns, and Wine's
// console moves the cursor over blanks with an escape sequence (ESC [ n C) instead of writing them.
QByteArray screenText(const QByteArray &terminalBytes)
{
    const QString bytes = QString::fromUtf8(terminalBytes);
    QString screen;
    int column = 0;
    const auto addBlanks = [&](int count) {
        screen += QString(count, QLatin1Char(' '));
        column += count;
    };
    for (int at = 0; at < bytes.size(); ++at) {
        const QChar character = bytes.at(at);
        if (character == QLatin1Char('\x1b') && bytes.mid(at + 1, 1) == QLatin1String("[")) {
            const int end = bytes.indexOf(QRegularExpression(QStringLiteral("[A-Za-z]")), at);
            if (end < 0)
                break;
            if (bytes.at(end) == QLatin1Char('C'))
                addBlanks(bytes.mid(at + 2, end - at - 2).toInt());
            at = end;
        } else if (character == QLatin1Char('\t')) {
            addBlanks(8 - column % 8);
        } else if (character == QLatin1Char('\n')) {
            screen += character;
            column = 0;
        } else if (character != QLatin1Char('\r')) {
            screen += character;
            ++column;
        }
    }
    return screen.toUtf8();
}

// Words for a POSIX shell, each in single quotes.
QString shellWords(const QStringList &words)
{
    QStringList quoted;
    for (const QString &word : words)
        quoted << QLatin1Char('\'') + word + QLatin1Char('\'');
    return quoted.join(QLatin1Char(' '));
}

const QString dialogTitle = QStringLiteral("^Open XML File$");
const QString cancel; // a dialog action that presses Escape instead of choosing files

const QByteArray templateXml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<!-- test template -->\n"
                               "<Post Version=\"1\"><Machine Axis=\"2\"/></Post>\n";

// Every entry kind, an unknown one, one without a name, markers and non-ASCII text.
const QByteArray sourceA = "<job>\n"
                           "  <mainFiles>\n"
                           "    <f><name> left </name><content>\n"
                           "      T1 M6\n"
                           "      &lt;leftSet>\n"
                           "      &lt;park>\n"
                           "      </content></f>\n"
                           "    <f><name>drill</name><content>T9</content></f>\n"
                           "    <f><name/></f>\n"
                           "    <f><name>tandem</name><content>\xC3\x98" "40 &amp; \"fine\"</content></f>\n"
                           "  </mainFiles>\n"
                           "</job>\n";
// The exact bytes the tool writes. Readers may take attributes in any order; the tool keeps one
// order on every run (see sameInputGivesSameBytes), so the outputs are compared byte for byte.
const QByteArray outputA = "    <Post Version=\"1\">\n"
                           "        <Machine Axis=\"2\"/>\n"
                           "        <Configulation Name=\"L\" NickName=\"LeftHand\" Suffix=\".nc\" Prefix=\"\" Image=\"left.png\">\n"
                           "            <Item>T1 M6</Item>\n"
                           "            <Coordinate>G54</Coordinate>\n"
                           "            <Coordinate/>\n"
                           "            <Item></Item>\n"
                           "        </Configulation>\n"
                           "        <Configulation Name=\"T\" NickName=\"Tandem\" Suffix=\".nc\" Prefix=\"\" Image=\"tandem.png\">\n"
                           "            <Item>\xC3\x98" "40 &amp; \"fine\"</Item>\n"
                           "        </Configulation>\n"
                           "    </Post>\n";

const QByteArray sourceB = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<job><mainFiles><f><name>right</name><content><![CDATA[<rightSet>\nG0 X1]]></content></f>"
                           "<f><name>merge</name></f></mainFiles></job>\n";
const QByteArray outputB = "    <Post Version=\"1\">\n"
                           "        <Machine Axis=\"2\"/>\n"
                           "        <Configulation Name=\"R\" NickName=\"RightHand\" Suffix=\".nc\" Prefix=\"\" Image=\"right.png\">\n"
                           "            <Coordinate>G55</Coordinate>\n"
                           "            <Item>G0 X1</Item>\n"
                           "        </Configulation>\n"
                           "        <Configulation Name=\"M\" NickName=\"Alternately\" Suffix=\".nc\" Prefix=\"\" Image=\"alternately.png\"/>\n"
                           "    </Post>\n";

// Nothing left out, nothing to warn of.
const QByteArray sourceC = "<job><mainFiles><f><name>left</name><content>T1</content></f></mainFiles></job>";
const QByteArray outputC = "    <Post Version=\"1\">\n"
                           "        <Machine Axis=\"2\"/>\n"
                           "        <Configulation Name=\"L\" NickName=\"LeftHand\" Suffix=\".nc\" Prefix=\"\" Image=\"left.png\">\n"
                           "            <Item>T1</Item>\n"
                           "        </Configulation>\n"
                           "    </Post>\n";

const QByteArray batchPrompt = "Generate Sucessfule.\tDo next?\n\nInput:Y(Yes)/N(No)\n";
const QByteArray selectPrompt = "Please select a file.Input:Y(Yes)/N(No)\n";

// A path as the tool's diagnostics show it: with the system's own separators.
QByteArray nativePath(const QString &path)
{
    return (underWine() ? QString(path).replace('/', '\\') : path).toUtf8();
}

// What the diagnostics say of sourceA and sourceB, each counted by hand in its text.
QByteArray diagnosticsOfA(const QString &path)
{
    const QByteArray shown = nativePath(path);
    return shown + ":6:7: warning: marker \"<park>\" is neither <leftSet> nor <rightSet>: its Coordinate is empty\n" + shown
        + ":8:14: warning: entry kind \"drill\" is not one of left, right, merge, tandem: the entry is left out\n" + shown
        + ":9:14: warning: entry <f> has an empty name, so no kind: it is left out\n";
}

QByteArray diagnosticsOfB(const QString &path)
{
    return nativePath(path) + ":3:32: warning: entry \"merge\" has no content lines: its configuration is empty\n";
}

// The system's words for a file, or the folder of a file, that is not there.
QByteArray noSuchFile()
{
    return underWine() ? "File not found." : "No such file or directory";
}

QByteArray noSuchFolder()
{
    return underWine() ? "Path not found." : "No such file or directory";
}

QStringList runXdotool(const QStringList &arguments)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral(XDOTOOL_EXECUTABLE), arguments);
    if (!xdotool.waitForFinished(xdotoolTimeoutMs)) {
        xdotool.kill();
        xdotool.waitForFinished();
        return {};
    }
    return QString::fromUtf8(xdotool.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

struct ToolRun
{
    QByteArray output;
    QByteArray errorOutput;
    int exitCode = -1;
    QString failure; // empty when the tool showed every expected dialog and then ended by itself
};

} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void twoSourcesInOneBatch_data();
    void twoSourcesInOneBatch();
    void secondBatchAfterYes();
    void cancelThenNo();
    void cancelThenYesShowsTheDialogAgain();
    void answerIsOneCharacter();
    void endOfInputAtBatchPrompt();
    void startupFailures_data();
    void startupFailures();
    void userNameInOutputPath_data();
    void userNameInOutputPath();
    void missingOutputFolder();
    void unusableSourcesAreSkipped();
    void laterOutputReplacesEarlier();
    void sameInputGivesSameBytes();
    void failedWriteKeepsEarlierOutput_data();
    void failedWriteKeepsEarlierOutput();
    void outputPathIsADirectory();
    void hostileSourceIsSkipped_data();
    void hostileSourceIsSkipped();
    void declaredEncodingsAreWrittenAsUtf8();
    void sourceWithCrlfLineEnds();
    void utf16WithCrlfIsWrittenLikeItsUtf8Twin();
    void terminalShowsEveryCharacter();
    void namedSources_data();
    void namedSources();
    void diagnosticsOfAFaultySource_data();
    void diagnosticsOfAFaultySource();
    void outOfMemoryFailsOneSource();
    void consoleThatCannotBeWritten_data();
    void consoleThatCannotBeWritten();
    void dialogWithoutDisplay_data();
    void dialogWithoutDisplay();
    void consoleOfItsOwn_data();
    void consoleOfItsOwn();

private:
    bool restartWineserver();
    QStringList toolCommand(const QStringList &arguments = {}) const;
    void removeDisplay();
    ToolRun runTool(const QStringList &dialogActions, const QByteArray &input, const QStringList &command = {},
                    bool startedBefore = false);
    QString waitForNewDialog(QProcess &tool, QStringList &seenDialogs, const QString &title = dialogTitle);
    void writeWorkFile(const QString &relativePath, const QByteArray &content);
    QByteArray readWorkFile(const QString &relativePath);
    QString sourcePath(const QString &fileName) const;
    QString shownPath(const QString &relativePath) const;
    QStringList outputFolderEntries() const;

    QProcess xvfb;
    QTemporaryDir runtimeDirectory;
    std::unique_ptr<QTemporaryDir> workDirectory;
    QProcessEnvironment environment;
    QProcessEnvironment initialEnvironment;
};

void tst_EndToEnd::initTestCase()
{
    const QString display = startPrivateDisplay(xvfb);
    QVERIFY2(!display.isEmpty(), qPrintable(QStringLiteral("Xvfb did not start: ") + xvfb.errorString()));
    qputenv("DISPLAY", display.toLatin1());

    environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("USERNAME"), QStringLiteral("op1"));
    // As a desktop session has it; without it Qt warns on standard error.
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDirectory.path());
    if (underWine()) {
        // Command lines and file names reach Windows programs through the locale's encoding.
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
        // No offers to install .NET or a web browser engine into a new prefix.
        environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml="));
        QVERIFY2(restartWineserver(), "Wine did not start");
    }
    initialEnvironment = environment;
}

// Wine's programs show their windows on the display of the wineserver that runs them, so the
// wineserver must be one started for this test's Xvfb. Ending it ends every program it runs.
bool tst_EndToEnd::restartWineserver()
{
    // A wineserver that stays for the whole test, started here and not under a test's limits. It
    // needs the prefix's folder, which wineboot fills the first time.
    if (!QDir().mkpath(environment.value(QStringLiteral("WINEPREFIX"), QDir::homePath() + QStringLiteral("/.wine"))))
        return false;
    for (const QStringList &command : {QStringList{QStringLiteral("wineserver"), QStringLiteral("-k")},
                                       QStringList{QStringLiteral("wineserver"), QStringLiteral("-p")},
                                       QStringList{QStringLiteral("wineboot")}}) {
        QProcess wine;
        wine.setProcessEnvironment(environment);
        wine.start(command.first(), command.mid(1));
        if (!wine.waitForFinished(wineStartTimeoutMs))
            return false;
    }
    return true;
}

void tst_EndToEnd::cleanupTestCase()
{
    if (underWine())
        QProcess::execute(QStringLiteral("wineserver"), {QStringLiteral("-k")});
    stopPrivateDisplay(xvfb);
}

void tst_EndToEnd::init()
{
    // A folder name beyond ASCII, so that every result line of the console shows such a path.
    workDirectory = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/configgen-Gr\u00F6\u00DFe-XXXXXX"));
    QVERIFY(workDirectory->isValid());
    QDir work(workDirectory->path());
    QVERIFY(work.mkpath(QStringLiteral("Template")) && work.mkpath(QStringLiteral("SourceFiles"))
            && work.mkpath(QStringLiteral("GenerateFiles")));
    writeWorkFile(QStringLiteral("Template/PostProcessorTemplate.xml"), templateXml);
    writeWorkFile(QStringLiteral("SourceFiles/a.xml"), sourceA);
    writeWorkFile(QStringLiteral("SourceFiles/b.xml"), sourceB);
    environment = initialEnvironment;
}

// What a build server or an SSH session offers: no display server at all.
void tst_EndToEnd::removeDisplay()
{
    for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(variable));
}

void tst_EndToEnd::writeWorkFile(const QString &relativePath, const QByteArray &content)
{
    QFile file(workDirectory->filePath(relativePath));
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.fileName()));
    QCOMPARE(file.write(content), content.size());
}

QByteArray tst_EndToEnd::readWorkFile(const QString &relativePath)
{
    QFile file(workDirectory->filePath(relativePath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing file>");
}

QString tst_EndToEnd::sourcePath(const QString &fileName) const
{
    // Wine shows the Linux file system as drive Z:.
    return (underWine() ? QStringLiteral("Z:") : QString()) + QDir(workDirectory->path()).canonicalPath()
        + QStringLiteral("/SourceFiles/") + fileName;
}

// A path in the work directory as the tool names it in its own words, with the system's separators.
QString tst_EndToEnd::shownPath(const QString &relativePath) const
{
    const QString path = QDir(workDirectory->path()).canonicalPath() + QLatin1Char('/') + relativePath;
    return underWine() ? QStringLiteral("Z:") + QString(path).replace('/', '\\') : path;
}

QStringList tst_EndToEnd::outputFolderEntries() const
{
    return QDir(workDirectory->filePath(QStringLiteral("GenerateFiles")))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QString tst_EndToEnd::waitForNewDialog(QProcess &tool, QStringList &seenDialogs, const QString &title)
{
    QDeadlineTimer deadline(dialogTimeoutMs);
    while (!deadline.hasExpired() && tool.state() == QProcess::Running) {
        const QStringList windows = runXdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                QStringLiteral("--name"), title});
        for (const QString &window : windows) {
            if (!seenDialogs.contains(window)) {
                seenDialogs << window;
                return window;
            }
        }
        tool.waitForFinished(100);
    }
    return {};
}

// The command that starts the program under test with `arguments` and the test's USERNAME (or none).
QStringList tst_EndToEnd::toolCommand(const QStringList &arguments) const
{
    if (!underWine())
        return QStringList(QStringLiteral(CONFIGGEN_EXECUTABLE)) + arguments;
    // Wine sets USERNAME to the login name; cmd hands the program the test's own, or removes it.
    QString command = QStringLiteral("set USERNAME=") + environment.value(QStringLiteral("USERNAME")) + QStringLiteral("&& ")
        + windowsProgramPath();
    // Wine would escape quotes on their way through cmd: the tests' arguments hold no blanks.
    for (const QString &argument : arguments)
        command += QLatin1Char(' ') + argument;
    return {QStringLiteral("wine"), QStringLiteral("cmd"), QStringLiteral("/c"), command};
}

// Starts the tool (with `command`, by default toolCommand()) in the work directory with `input` as
// its whole standard input, then answers each dialog it shows with the next action: file names
// to type, or `cancel`.
ToolRun tst_EndToEnd::runTool(const QStringList &dialogActions, const QByteArray &input, const QStringList &command,
                              bool startedBefore)
{
    const QStringList startCommand = command.isEmpty() ? toolCommand() : command;
    QProcess tool;
    tool.setProcessEnvironment(environment);
    tool.setWorkingDirectory(workDirectory->path());
    tool.start(startCommand.first(), startCommand.mid(1));
    ToolRun run;
    if (!tool.waitForStarted()) {
        run.failure = QStringLiteral("could not start: ") + tool.errorString();
        return run;
    }
    tool.write(input);
    tool.closeWriteChannel();

    QStringList seenDialogs;
    for (const QString &action : dialogActions) {
        const QString dialog = waitForNewDialog(tool, seenDialogs);
        if (dialog.isEmpty()) {
            run.failure = QStringLiteral("no dialog for action '%1'").arg(action);
            break;
        }
        runXdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), dialog});
        if (action == cancel) {
            runXdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        } else {
            // The Windows file dialog takes folders in a typed name only with Windows' separator.
            const QString typed = underWine() ? QString(action).replace('/', '\\') : action;
            runXdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"), typed});
            runXdotool({QStringLiteral("key"), QStringLiteral("Return")});
        }
    }
    if (!tool.waitForFinished(exitTimeoutMs) && run.failure.isEmpty())
        run.failure = QStringLiteral("the tool did not end");
    if (tool.state() != QProcess::NotRunning) {
        tool.kill();
        tool.waitForFinished();
        // Ending wine's own process leaves the Windows program running, with its dialog open.
        if (underWine())
            restartWineserver();
    }
    run.output = tool.readAllStandardOutput();
    run.errorOutput = tool.readAllStandardError();
    if (run.failure.isEmpty() && tool.exitStatus() != QProcess::NormalExit)
        run.failure = QStringLiteral("the tool crashed");
    run.exitCode = tool.exitCode();
    // Once in some hundred runs on a busy machine, Wine ended a run without a byte on either channel,
    // which the tool never does here: such a run is started once more, and the log says so.
    if (underWine() && !startedBefore && run.failure.isEmpty() && run.output.isEmpty() && run.errorOutput.isEmpty()) {
        qWarning("Wine ended a run with status %d and no output; it is started once more", run.exitCode);
        return runTool(dialogActions, input, command, true);
    }
    if (!run.failure.isEmpty())
        run.failure += QStringLiteral("; it printed:\n") + QString::fromUtf8(run.output) + QString::fromUtf8(run.errorOutput);
    return run;
}

#define VERIFY_RUN(run) QVERIFY2((run).failure.isEmpty(), qPrintable((run).failure))

void tst_EndToEnd::twoSourcesInOneBatch_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("displayVariable"); // DISPLAY stays set

    QTest::newRow("no arguments") << QStringList() << true;
    QTest::newRow("Qt's own options only") << QStringList({QStringLiteral("-style"), QStringLiteral("Fusion")}) << true;
    if (!underWine()) {
        QTest::newRow("-display instead of DISPLAY") << QStringList({QStringLiteral("-display"), qEnvironmentVariable("DISPLAY")})
                                                     << false;
        QTest::newRow("X11's own options") << QStringList({"-visual", "0x21", "-name", "configgen", "-nograb"}) << true;
    }
}

void tst_EndToEnd::twoSourcesInOneBatch()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, displayVariable);
    if (!displayVariable)
        removeDisplay();
    const ToolRun run = runTool({QStringLiteral("\"a.xml\" \"b.xml\"")}, "n\n", toolCommand(arguments));
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText("File size:2\nName is empty\n\tSucessfull:" + sourcePath("a.xml").toUtf8()
                             + "\n\tSucessfull:" + sourcePath("b.xml").toUtf8() + '\n' + batchPrompt));
    // The diagnostics name each source as the dialog gave it, with the system's separators.
    QCOMPARE(run.errorOutput, platformText(diagnosticsOfA(sourcePath("a.xml")) + diagnosticsOfB(sourcePath("b.xml"))
                                           + "configgen: 2 of 2 sources written, 2 entries left out, 4 warnings\n"));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(readWorkFile("GenerateFiles/op1_a.xml"), platformText(outputA));
    QCOMPARE(readWorkFile("GenerateFiles/op1_b.xml"), platformText(outputB));
    QCOMPARE(outputFolderEntries(), QStringList({"op1_a.xml", "op1_b.xml"}));
}

void tst_EndToEnd::secondBatchAfterYes()
{
    // Leading blanks and line ends before an answer are skipped.
    const ToolRun run = runTool({QStringLiteral("a.xml"), QStringLiteral("b.xml")}, "  \n\t y\nN\n");
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText("File size:1\nName is empty\n\tSucessfull:" + sourcePath("a.xml").toUtf8() + '\n' + batchPrompt
                             + "File size:1\n\tSucessfull:" + sourcePath("b.xml").toUtf8() + '\n' + batchPrompt));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(outputFolderEntries(), QStringList({"op1_a.xml", "op1_b.xml"}));
}

void tst_EndToEnd::cancelThenNo()
{
    const ToolRun run = runTool({cancel}, "N\nn\n");
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText(selectPrompt + "File size:0\n" + batchPrompt));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(outputFolderEntries(), QStringList());
}

void tst_EndToEnd::cancelThenYesShowsTheDialogAgain()
{
    const ToolRun run = runTool({cancel, QStringLiteral("b.xml")}, "y\nn\n");
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText(selectPrompt + "File size:1\n\tSucessfull:" + sourcePath("b.xml").toUtf8() + '\n' + batchPrompt));
    QCOMPARE(run.exitCode, 0);
}

void tst_EndToEnd::answerIsOneCharacter()
{
    // "yes": y starts a second batch, e answers the cancelled dialog's prompt (not yes), and s
    // answers the next batch prompt, which ends the run.
    const ToolRun run = runTool({QStringLiteral("b.xml"), cancel}, "yes");
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText("File size:1\n\tSucessfull:" + sourcePath("b.xml").toUtf8() + '\n' + batchPrompt + selectPrompt
                             + "File size:0\n" + batchPrompt));
    QCOMPARE(run.exitCode, 0);
}

void tst_EndToEnd::endOfInputAtBatchPrompt()
{
    // With nobody left to answer, the run ends instead of showing the dialog again and again.
    const ToolRun run = runTool({QStringLiteral("b.xml")}, "");
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText("File size:1\n\tSucessfull:" + sourcePath("b.xml").toUtf8() + '\n' + batchPrompt));
    QCOMPARE(run.exitCode, 0);
}

void tst_EndToEnd::startupFailures_data()
{
    QTest::addColumn<QByteArray>("templateContent"); // empty: no template file at all
    QTest::addColumn<QString>("userName"); // null: USERNAME unset
    QTest::addColumn<QByteArray>("expectedOutput");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("expectedError"); // TEMPLATE stands for the template's absolute path

    const QByteArray templateTried = "configgen: the template it tried is TEMPLATE; configgen "
                                     "works in the folder it is started in, which must hold it\n";
    const QByteArray templateNotOpened =
        nativePath("Template/PostProcessorTemplate.xml") + ": error: cannot be opened: " + noSuchFile() + '\n' + templateTried;
    const QByteArray templateMissing = "Invalid file path.Please Check PostProcessorTemplate.xml is existed?\n"
                                       "Failed:Please check Template/PostProcessorTemplate.xml is existed.\n";
    const QByteArray userNameMissing = "Failed to get USERNAME environment variable\n";
    const QStringList named = {QStringLiteral("SourceFiles/b.xml")};
    QTest::newRow("missing template") << QByteArray() << "op1" << templateMissing << QStringList() << templateNotOpened;
    QTest::newRow("malformed template, CRLF")
        << QByteArray("<Post>\r\n  <Machine>\r\n</Post>\r\n") << "op1"
        << domErrorLine("<Post>\n  <Machine>\n</Post>\n").toUtf8() + "Failed:Please check Template/PostProcessorTemplate.xml is existed.\n"
        << QStringList() << nativePath("Template/PostProcessorTemplate.xml") + ":3:7: error: tag mismatch\n" + templateTried;
    QTest::newRow("USERNAME unset") << templateXml << QString() << userNameMissing << QStringList() << QByteArray();
    QTest::newRow("template checked before USERNAME") << QByteArray() << QString() << templateMissing << QStringList() << templateNotOpened;
    QTest::newRow("missing template, source named") << QByteArray() << "op1" << templateMissing << named << templateNotOpened;
    const QByteArray separator = "configgen: USERNAME 'ops/op1' holds a folder separator, and it must be a part of the output file names\n";
    QTest::newRow("USERNAME with a slash, source named") << templateXml << "ops/op1" << userNameMissing << named << separator;
    if (underWine())
        QTest::newRow("USERNAME with a backslash") << templateXml << "ops\\op1" << userNameMissing << QStringList()
                                                   << QByteArray(separator).replace("ops/op1", "ops\\op1");
    QTest::newRow("USERNAME unset, source named") << templateXml << QString() << userNameMissing << named << QByteArray();
}

void tst_EndToEnd::startupFailures()
{
    QFETCH(QByteArray, templateContent);
    QFETCH(QString, userName);
    QFETCH(QByteArray, expectedOutput);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, expectedError);

    if (templateContent.isEmpty())
        QVERIFY(QFile::remove(workDirectory->filePath("Template/PostProcessorTemplate.xml")));
    else
        writeWorkFile(QStringLiteral("Template/PostProcessorTemplate.xml"), templateContent);
    if (userName.isNull())
        environment.remove(QStringLiteral("USERNAME"));
    else
        environment.insert(QStringLiteral("USERNAME"), userName);

    // No dialog may appear: the run must end by itself before any is shown.
    const ToolRun run = runTool({}, "y\ny\n", toolCommand(arguments));
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText(expectedOutput));
    QCOMPARE(run.errorOutput, platformText(expectedError.replace("TEMPLATE", shownPath("Template/PostProcessorTemplate.xml").toUtf8())));
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(outputFolderEntries(), QStringList());
}

void tst_EndToEnd::userNameInOutputPath_data()
{
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QString>("outputName");

    QTest::newRow("empty user name") << QString() << "_b.xml";
    QTest::newRow("non-ASCII user name") << QStringLiteral("J\u00F3zef") << QStringLiteral("J\u00F3zef_b.xml");
    QTest::newRow("Japanese user name") << QStringLiteral("\u5C71\u7530") << QStringLiteral("\u5C71\u7530_b.xml");
}

void tst_EndToEnd::userNameInOutputPath()
{
    QFETCH(QString, userName);
    QFETCH(QString, outputName);

    if (underWine() && userName.isEmpty())
        QSKIP("Windows has no empty environment variables: setting USERNAME to nothing removes it");
    environment.insert(QStringLiteral("USERNAME"), userName);
    const ToolRun run = runTool({QStringLiteral("b.xml")}, "n");
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText("File size:1\n\tSucessfull:" + sourcePath("b.xml").toUtf8() + '\n' + batchPrompt));
    QCOMPARE(outputFolderEntries(), QStringList(outputName));
    QCOMPARE(readWorkFile("GenerateFiles/" + outputName), platformText(outputB));
}

void tst_EndToEnd::missingOutputFolder()
{
    QVERIFY(QDir(workDirectory->filePath("GenerateFiles")).removeRecursively());
    const ToolRun run = runTool({QStringLiteral("\"a.xml\" \"b.xml\"")}, "n");
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText("File size:2\nName is empty\n\tInvalid file path\n\tInvalid file path\n" + batchPrompt));
    QCOMPARE(run.exitCode, 0);
    QVERIFY(!QFileInfo::exists(workDirectory->filePath("GenerateFiles")));
}

void tst_EndToEnd::unusableSourcesAreSkipped()
{
    writeWorkFile(QStringLiteral("SourceFiles/broken.xml"), "<job>\n<mainFiles>\n");
    writeWorkFile(QStringLiteral("SourceFiles/nosection.xml"), "<job><x><mainFiles/></x></job>");
    const ToolRun run = runTool({QStringLiteral("\"broken.xml\" \"nosection.xml\" \"b.xml\"")}, "n");
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText("File size:3\nParse errorunexpected end of fileLine:3Column:1\n\tFailed:"
                             + sourcePath("broken.xml").toUtf8() + "\tNode is empty.\n\tFailed:"
                             + sourcePath("nosection.xml").toUtf8() + "\tNode is empty.\n\tSucessfull:"
                             + sourcePath("b.xml").toUtf8() + '\n' + batchPrompt));
    QCOMPARE(outputFolderEntries(), QStringList("op1_b.xml"));
}

void tst_EndToEnd::laterOutputReplacesEarlier()
{
    // An older, longer file at the output path, then two sources of the same name in two batches.
    writeWorkFile(QStringLiteral("GenerateFiles/op1_b.xml"), QByteArray(20000, 'x'));
    QVERIFY(QDir(workDirectory->path()).mkpath("SourceFiles/other"));
    writeWorkFile(QStringLiteral("SourceFiles/other/b.xml"), sourceA);
    const ToolRun run = runTool({QStringLiteral("b.xml"), QStringLiteral("other/b.xml")}, "y n");
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText("File size:1\n\tSucessfull:" + sourcePath("b.xml").toUtf8() + '\n' + batchPrompt
                             + "File size:1\nName is empty\n\tSucessfull:" + sourcePath("other/b.xml").toUtf8() + '\n'
                             + batchPrompt));
    QCOMPARE(readWorkFile("GenerateFiles/op1_b.xml"), platformText(outputA));
    QCOMPARE(outputFolderEntries(), QStringList("op1_b.xml"));
}

void tst_EndToEnd::sameInputGivesSameBytes()
{
    // Qt writes an element's attributes in the order of a hash whose seed is random unless the
    // program fixes it; with this many attributes, two runs of an unfixed program rarely agree.
    environment.remove(QStringLiteral("QT_HASH_SEED"));
    writeWorkFile(QStringLiteral("Template/PostProcessorTemplate.xml"),
                  "<Post A=\"1\" B=\"2\" C=\"3\" D=\"4\" E=\"5\" F=\"6\"><Machine X=\"1\" Y=\"2\" Z=\"3\"/></Post>");
    QByteArrayList outputs;
    for (int run = 0; run < 3; ++run) {
        const ToolRun toolRun = runTool({QStringLiteral("\"a.xml\" \"b.xml\"")}, "n");
        VERIFY_RUN(toolRun);
        outputs << readWorkFile("GenerateFiles/op1_a.xml") + readWorkFile("GenerateFiles/op1_b.xml");
    }
    QVERIFY(outputs.first().contains("<Configulation "));
    QCOMPARE(outputs.at(1), outputs.first());
    QCOMPARE(outputs.at(2), outputs.first());
}

void tst_EndToEnd::failedWriteKeepsEarlierOutput_data()
{
    QTest::addColumn<int>("entries");

    // Outputs a few times and many times the file size limit.
    QTest::newRow("output of 400 entries") << 400;
    QTest::newRow("output of 20000 entries") << 20000;
}

void tst_EndToEnd::failedWriteKeepsEarlierOutput()
{
    QFETCH(int, entries);

    // A source whose output is far larger than the file size limit that the tool runs under.
    QByteArray bigSource = "<job><mainFiles>";
    for (int i = 0; i < entries; ++i)
        bigSource += "<f><name>left</name><content>T1 M6\n&lt;leftSet>\nG0 X52.0 Z2.0</content></f>";
    bigSource += "</mainFiles></job>";
    writeWorkFile(QStringLiteral("SourceFiles/big.xml"), bigSource);
    const QByteArray earlier = "earlier output, kept when a new one cannot be written\n";
    writeWorkFile(QStringLiteral("GenerateFiles/op1_big.xml"), earlier);

    // Wine runs a Windows program as a Linux process, which the limit's signal would end: Wine is
    // started with the signal ignored, so that the limit fails the write as a full disk does.
    const QString ignoreSignal = underWine() ? QStringLiteral("trap '' XFSZ && ") : QString();
    const QStringList limitedShell = {QStringLiteral("bash"), QStringLiteral("-c"),
                                      ignoreSignal + QStringLiteral("ulimit -f 16 && exec \"$0\" \"$@\"")};
    const ToolRun run = runTool({QStringLiteral("\"big.xml\" \"b.xml\"")}, "n", limitedShell + toolCommand());
    VERIFY_RUN(run);
    // The line ends with the file system's reason. Under Wine a file size limit comes as a
    // general failure.
    const QByteArray reason = QRegularExpression(QStringLiteral("op1_big.xml: ([^\r\n]*)"))
                                  .match(QString::fromUtf8(run.output)).captured(1).toUtf8();
    QCOMPARE(reason, QByteArray(underWine() ? "General failure." : "File too large"));
    QCOMPARE(run.output, platformText("File size:2\n\tFailed:" + sourcePath("big.xml").toUtf8()
                             + "\tCannot write GenerateFiles/op1_big.xml: " + reason + "\n\tSucessfull:"
                             + sourcePath("b.xml").toUtf8() + '\n' + batchPrompt));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(readWorkFile("GenerateFiles/op1_big.xml"), earlier);
    QCOMPARE(readWorkFile("GenerateFiles/op1_b.xml"), platformText(outputB));
    QCOMPARE(outputFolderEntries(), QStringList({"op1_b.xml", "op1_big.xml"}));
}

void tst_EndToEnd::outputPathIsADirectory()
{
    writeWorkFile(QStringLiteral("GenerateFiles/op1_b.xml"), "earlier output\n");
    QVERIFY(QDir(workDirectory->path()).mkpath(QStringLiteral("GenerateFiles/op1_a.xml")));
    writeWorkFile(QStringLiteral("GenerateFiles/op1_a.xml/kept.txt"), "kept\n");
    const ToolRun run = runTool({QStringLiteral("\"a.xml\" \"b.xml\"")}, "n");
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText("File size:2\nName is empty\n\tInvalid file path\n\tSucessfull:" + sourcePath("b.xml").toUtf8() + '\n'
                             + batchPrompt));
    QCOMPARE(readWorkFile("GenerateFiles/op1_a.xml/kept.txt"), "kept\n");
    QCOMPARE(readWorkFile("GenerateFiles/op1_b.xml"), platformText(outputB));
    QCOMPARE(outputFolderEntries(), QStringList({"op1_a.xml", "op1_b.xml"}));
}

// Each source is chosen together with b.xml, which must still be converted after it.
void tst_EndToEnd::hostileSourceIsSkipped_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("consoleLine");

    // Real and readable, but outside the working directory: no document may make the tool read it.
    static QTemporaryDir elsewhere;
    const QString secret = elsewhere.filePath(QStringLiteral("secret.txt"));
    QFile secretFile(secret);
    QVERIFY(secretFile.open(QIODevice::WriteOnly) && secretFile.write("T99 secret") > 0);
    secretFile.close();

    QTest::newRow("nested a million levels")
        << nestedDocument("<job><mainFiles>", 1000000) << QByteArray("Parse errorElements nested more than 256 levels deepLine:1Column:781");
    QTest::newRow("content model nested 70,000 levels")
        << nestedContentModel(70000)
        << QByteArray("Parse errorParentheses nested more than 256 levels deep in the document type declarationLine:2Column:271");
    QTest::newRow("entity expansion bomb") << entityBomb() << domErrorLine(entityBomb()).trimmed().toUtf8();
    const QByteArray externalEntity = "<!DOCTYPE job [<!ENTITY x SYSTEM '" + QUrl::fromLocalFile(secret).toEncoded()
        + "'>]><job><mainFiles><f><name>left</name><content>&x;</content></f></mainFiles></job>";
    QTest::newRow("external entity")
        << externalEntity << "Parse errorEntity 'x' is defined outside the document, which is never readLine:1Column:"
            + QByteArray::number(externalEntity.indexOf("&x;") + 3);
    QTest::newRow("bytes invalid in UTF-8") << QByteArray("<job>\n<mainFiles><f><name>left</name><content>caf\xE9</content></f></mainFiles></job>")
                                            << QByteArray("Parse errorEncountered incorrectly encoded content.Line:2Column:44");
    QTest::newRow("malformed") << QByteArray("<job>\r\n<mainFiles></job>") << domErrorLine("<job>\n<mainFiles></job>").trimmed().toUtf8();
    QTest::newRow("empty file") << QByteArray() << QByteArray("Parse errorunexpected end of fileLine:1Column:1");
}

void tst_EndToEnd::hostileSourceIsSkipped()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, consoleLine);
    writeWorkFile(QStringLiteral("SourceFiles/hostile.xml"), content);
    const ToolRun run = runTool({QStringLiteral("\"hostile.xml\" \"b.xml\"")}, "n");
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText("File size:2\n" + consoleLine + "\n\tFailed:" + sourcePath("hostile.xml").toUtf8()
                             + "\tNode is empty.\n\tSucessfull:" + sourcePath("b.xml").toUtf8() + '\n' + batchPrompt));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(outputFolderEntries(), QStringList("op1_b.xml"));
}

void tst_EndToEnd::declaredEncodingsAreWrittenAsUtf8()
{
    const QString entry = QStringLiteral("<f><name>left</name><content>caf\u00E9 \u00D8" "40</content></f>");
    writeWorkFile(QStringLiteral("SourceFiles/utf16.xml"),
                  utf16WithByteOrderMark(QStringLiteral("<job><mainFiles>") + entry + QStringLiteral("</mainFiles></job>")));
    writeWorkFile(QStringLiteral("SourceFiles/latin1.xml"), "<?xml version='1.0' encoding='ISO-8859-1'?><job><mainFiles>"
                                                              + entry.toLatin1() + "</mainFiles></job>");
    const ToolRun run = runTool({QStringLiteral("\"utf16.xml\" \"latin1.xml\"")}, "n");
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText("File size:2\n\tSucessfull:" + sourcePath("utf16.xml").toUtf8() + "\n\tSucessfull:"
                             + sourcePath("latin1.xml").toUtf8() + '\n' + batchPrompt));
    const QByteArray item = platformText("            <Item>caf\xC3\xA9 \xC3\x98" "40</Item>\n");
    const QByteArray written = readWorkFile("GenerateFiles/op1_utf16.xml");
    QVERIFY2(written.contains(item), written.constData());
    QCOMPARE(readWorkFile("GenerateFiles/op1_latin1.xml"), readWorkFile("GenerateFiles/op1_utf16.xml"));
}

void tst_EndToEnd::sourceWithCrlfLineEnds()
{
    // What Windows editors write: the output is the same as for the source with LF line ends.
    writeWorkFile(QStringLiteral("SourceFiles/crlf.xml"), QByteArray(sourceA).replace("\n", "\r\n"));
    const ToolRun run = runTool({QStringLiteral("crlf.xml")}, "n");
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText("File size:1\nName is empty\n\tSucessfull:" + sourcePath("crlf.xml").toUtf8() + '\n' + batchPrompt));
    QCOMPARE(readWorkFile("GenerateFiles/op1_crlf.xml"), platformText(outputA));
}

void tst_EndToEnd::utf16WithCrlfIsWrittenLikeItsUtf8Twin()
{
    // What Windows editors write when they save as "Unicode"; both letters have a byte 0x0D in UTF-16.
    const QString source = QStringLiteral("<job>\r\n<mainFiles>\r\n<f><name>left</name><content>\u0160\u010D\u010D\r\n"
                                          "\u0D21</content></f>\r\n</mainFiles>\r\n</job>\r\n");
    writeWorkFile(QStringLiteral("SourceFiles/utf16.xml"), utf16WithByteOrderMark(source, QSysInfo::LittleEndian));
    writeWorkFile(QStringLiteral("SourceFiles/utf8.xml"), source.toUtf8());
    const ToolRun run = runTool({QStringLiteral("\"utf16.xml\" \"utf8.xml\"")}, "n");
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText("File size:2\n\tSucessfull:" + sourcePath("utf16.xml").toUtf8() + "\n\tSucessfull:"
                                      + sourcePath("utf8.xml").toUtf8() + '\n' + batchPrompt));
    const QByteArray items = platformText(QStringLiteral("<Item>\u0160\u010D\u010D</Item>\n            <Item>\u0D21</Item>\n").toUtf8());
    const QByteArray written = readWorkFile("GenerateFiles/op1_utf16.xml");
    QVERIFY2(written.contains(items), written.constData());
    QCOMPARE(written, readWorkFile("GenerateFiles/op1_utf8.xml"));
}

void tst_EndToEnd::terminalShowsEveryCharacter()
{
    // A person reads the result lines, with their paths beyond ASCII, on a terminal (on Windows a
    // console, whose code page is seldom UTF-8). `script` gives the tool one for its standard
    // output; the answer comes from a file, so that no echo of it depends on timing.
    writeWorkFile(QStringLiteral("answers"), "n\n");
    const QStringList terminal = {QStringLiteral("script"), QStringLiteral("-qec"),
                                  QStringLiteral("stty cols 500 && exec ") + shellWords(toolCommand())
                                      + QStringLiteral(" <answers 2>/dev/null"),
                                  QStringLiteral("/dev/null")};
    const ToolRun run = runTool({QStringLiteral("\"a.xml\" \"b.xml\"")}, "", terminal);
    VERIFY_RUN(run);
    QCOMPARE(screenText(run.output), screenText("File size:2\nName is empty\n\tSucessfull:" + sourcePath("a.xml").toUtf8()
                                                + "\n\tSucessfull:" + sourcePath("b.xml").toUtf8() + '\n' + batchPrompt));
    QCOMPARE(run.exitCode, 0);
}

void tst_EndToEnd::namedSources_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("expectedOutput");
    QTest::addColumn<bool>("outputStartsSo"); // rather than being all of it
    QTest::addColumn<QByteArray>("expectedError");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("written");

    const QByteArray bothWritten = "File size:2\nName is empty\n\tSucessfull:SourceFiles/a.xml\n\tSucessfull:SourceFiles/b.xml\n";
    const QByteArray bothWarned = diagnosticsOfA("SourceFiles/a.xml") + diagnosticsOfB("SourceFiles/b.xml")
        + "configgen: 2 of 2 sources written, 2 entries left out, 4 warnings\n";
    QTest::newRow("two sources") << QStringList({"SourceFiles/a.xml", "SourceFiles/b.xml"}) << bothWritten << false << bothWarned << 0
                                 << QStringList({"op1_a.xml", "op1_b.xml"});
    QTest::newRow("--quiet") << QStringList({"--quiet", "SourceFiles/a.xml", "SourceFiles/b.xml"}) << bothWritten << false
                             << QByteArray() << 0 << QStringList({"op1_a.xml", "op1_b.xml"});
    QTest::newRow("--check") << QStringList({"--check", "SourceFiles/a.xml", "SourceFiles/b.xml"}) << bothWritten << false
                             << diagnosticsOfA("SourceFiles/a.xml") + diagnosticsOfB("SourceFiles/b.xml")
            + "configgen: 2 of 2 sources can be converted (--check writes nothing), 2 entries left out, 4 warnings\n"
                             << 2 << QStringList();
    QTest::newRow("--check, -q, nothing left out")
        << QStringList({"--check", "-q", "SourceFiles/clean.xml"}) << QByteArray("File size:1\n\tSucessfull:SourceFiles/clean.xml\n")
        << false << QByteArray() << 0 << QStringList();
    QTest::newRow("--strict")
        << QStringList({"--strict", "SourceFiles/a.xml", "SourceFiles/clean.xml"})
        << QByteArray("File size:2\nName is empty\n\tFailed:SourceFiles/a.xml\t3 warnings: not written (--strict)\n"
                      "\tSucessfull:SourceFiles/clean.xml\n")
        << false
        << diagnosticsOfA("SourceFiles/a.xml") + nativePath("SourceFiles/a.xml")
            + ": error: not written: --strict writes no source with a warning\n"
              "configgen: 1 of 2 sources written, 2 entries left out, 3 warnings\n"
        << 2 << QStringList("op1_clean.xml");
    QTest::newRow("a good, a missing and a malformed source")
        << QStringList({"SourceFiles/b.xml", "SourceFiles/missing.xml", "SourceFiles/broken.txt"})
        << QByteArray("File size:3\n\tSucessfull:SourceFiles/b.xml\nInvalid file path\n\tFailed:SourceFiles/missing.xml\tNode is "
                      "empty.\nParse errorunexpected end of fileLine:3Column:1\n\tFailed:SourceFiles/broken.txt\tNode is empty.\n")
        << false
        << diagnosticsOfB("SourceFiles/b.xml") + nativePath("SourceFiles/missing.xml") + ": error: cannot be opened: " + noSuchFile()
            + '\n' + nativePath("SourceFiles/broken.txt") + ":3:1: error: unexpected end of file\n"
            + "configgen: 1 of 3 sources written, 0 entries left out, 1 warning\n"
        << 2 << QStringList("op1_b.xml");
    if (!underWine()) {
        QTest::newRow("a named pipe, a folder and a good source")
            << QStringList({"SourceFiles/pipe.xml", "SourceFiles/other", "SourceFiles/b.xml"})
            << QByteArray("File size:3\nInvalid file path\n\tFailed:SourceFiles/pipe.xml\tNode is empty.\nInvalid file path\n"
                          "\tFailed:SourceFiles/other\tNode is empty.\n\tSucessfull:SourceFiles/b.xml\n")
            << false
            << QByteArray("SourceFiles/pipe.xml: error: cannot be opened: not a regular file\n"
                          "SourceFiles/other: error: cannot be opened: not a regular file\n")
                + diagnosticsOfB("SourceFiles/b.xml") + "configgen: 1 of 3 sources written, 0 entries left out, 1 warning\n"
            << 2 << QStringList("op1_b.xml");
    }
    QTest::newRow("Qt's own option beside the sources")
        << QStringList({"-style", "Fusion", "SourceFiles/a.xml", "SourceFiles/b.xml"}) << bothWritten << false << bothWarned << 0
        << QStringList({"op1_a.xml", "op1_b.xml"});
    QTest::newRow("--version") << QStringList("--version") << QByteArray("configgen " CONFIGGEN_VERSION "\n") << false << QByteArray()
                               << 0 << QStringList();
    const QByteArray usage = "Usage: " + (underWine() ? windowsProgramPath() : QStringLiteral(CONFIGGEN_EXECUTABLE)).toUtf8()
        + " [options] [SOURCE...]\n";
    QTest::newRow("-h") << QStringList({"-h", "SourceFiles/a.xml"}) << usage << true << QByteArray() << 0 << QStringList();
    QTest::newRow("unknown option") << QStringList({"SourceFiles/a.xml", "--frobnicate"}) << QByteArray() << false
                                    << QByteArray("configgen: Unknown option 'frobnicate'. See configgen --help.\n") << 1
                                    << QStringList();
    QTest::newRow("option without its value")
        << QStringList({"SourceFiles/a.xml", "-platform"}) << QByteArray() << false
        << QByteArray("configgen: Missing value after '-platform'. See configgen --help.\n") << 1 << QStringList();
    QTest::newRow("two sources with one file name")
        << QStringList({"SourceFiles/b.xml", "SourceFiles/other/b.xml"})
        << QByteArray("File size:2\n\tSucessfull:SourceFiles/b.xml\n"
                      "\tFailed:SourceFiles/other/b.xml\tGenerateFiles/op1_b.xml is the output of SourceFiles/b.xml\n")
        << false
        << diagnosticsOfB("SourceFiles/b.xml") + nativePath("SourceFiles/other/b.xml") + ": error: not converted: its output "
            + nativePath("GenerateFiles/op1_b.xml") + " is that of " + nativePath("SourceFiles/b.xml") + " in this batch\n"
            + "configgen: 1 of 2 sources written, 0 entries left out, 1 warning\n"
        << 2 << QStringList("op1_b.xml");
    if (underWine()) {
        QTest::newRow("/?") << QStringList("/?") << usage << true << QByteArray() << 0 << QStringList();
        QTest::newRow("brackets are no wildcards")
            << QStringList("SourceFiles\\Part[1]*.xml") << QByteArray("File size:1\n\tSucessfull:SourceFiles\\Part[1]b.xml\n")
            << false << diagnosticsOfB("SourceFiles/Part[1]b.xml") + "configgen: 1 of 1 source written, 0 entries left out, 1 warning\n"
            << 0 << QStringList("op1_Part[1]b.xml");
        QTest::newRow("one file name in two cases")
            << QStringList({"SourceFiles\\b.xml", "SourceFiles\\B.XML"})
            << QByteArray("File size:2\n\tSucessfull:SourceFiles\\b.xml\n"
                          "\tFailed:SourceFiles\\B.XML\tGenerateFiles/op1_B.XML is the output of SourceFiles\\b.xml\n")
            << false
            << diagnosticsOfB("SourceFiles/b.xml")
                + "SourceFiles\\B.XML: error: not converted: its output GenerateFiles\\op1_B.XML is that of SourceFiles\\b.xml in "
                  "this batch\nconfiggen: 1 of 2 sources written, 0 entries left out, 1 warning\n"
            << 2 << QStringList("op1_b.xml");
        QTest::newRow("wildcards") << QStringList("SourceFiles\\?.XML")
                                   << QByteArray("File size:2\nName is empty\n\tSucessfull:SourceFiles\\a.xml\n"
                                                 "\tSucessfull:SourceFiles\\b.xml\n")
                                   << false << bothWarned << 0 << QStringList({"op1_a.xml", "op1_b.xml"});
        QTest::newRow("wildcard matching nothing")
            << QStringList("SourceFiles\\*.json")
            << QByteArray("File size:1\nInvalid file path\n\tFailed:SourceFiles\\*.json\tNode is empty.\n") << false
            << QByteArray("SourceFiles\\*.json: error: cannot be opened: Invalid name.")
                + "\nconfiggen: 0 of 1 source written, 0 entries left out, 0 warnings\n"
            << 2 << QStringList();
    } else {
        // The shell expands patterns; what reaches the tool is a file name.
        QTest::newRow("wildcard") << QStringList("SourceFiles/?.xml")
                                  << QByteArray("File size:1\nInvalid file path\n\tFailed:SourceFiles/?.xml\tNode is empty.\n")
                                  << false
                                  << "SourceFiles/?.xml: error: cannot be opened: " + noSuchFile()
                                      + "\nconfiggen: 0 of 1 source written, 0 entries left out, 0 warnings\n"
                                  << 2 << QStringList();
    }
}

void tst_EndToEnd::namedSources()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, expectedOutput);
    QFETCH(bool, outputStartsSo);
    QFETCH(QByteArray, expectedError);
    QFETCH(int, exitCode);
    QFETCH(QStringList, written);

    writeWorkFile(QStringLiteral("SourceFiles/broken.txt"), "<job>\n<mainFiles>\n");
    QVERIFY(QDir(workDirectory->path()).mkpath("SourceFiles/other"));
    writeWorkFile(QStringLiteral("SourceFiles/other/b.xml"), sourceA);
    writeWorkFile(QStringLiteral("SourceFiles/Part[1]b.xml"), sourceB);
    writeWorkFile(QStringLiteral("SourceFiles/Part1.xml"), sourceB);
    writeWorkFile(QStringLiteral("SourceFiles/clean.xml"), sourceC);
    QCOMPARE(mkfifo(QFile::encodeName(workDirectory->filePath("SourceFiles/pipe.xml")).constData(), 0600), 0);
    removeDisplay();
    const ToolRun run = runTool({}, "y\n", toolCommand(arguments));
    VERIFY_RUN(run);
    QCOMPARE(outputStartsSo ? run.output.left(platformText(expectedOutput).size()) : run.output, platformText(expectedOutput));
    QCOMPARE(run.errorOutput, platformText(expectedError));
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(outputFolderEntries(), written);
    const QHash<QString, QByteArray> outputs = {{"op1_a.xml", outputA}, {"op1_clean.xml", outputC}};
    for (const QString &name : written)
        QCOMPARE(readWorkFile("GenerateFiles/" + name), platformText(outputs.value(name, outputB)));
}

// The mistakes people make in real sources, each on a line of its own.
const QByteArray faultySource = "<job>\n"
                                "  <mainFiles>\n"
                                "    <f><name>Left</name><content>T1</content></f>\n"
                                "    <f><name>lefft</name><content>T1</content></f>\n"
                                "    <f><name>right</name><content>\n"
                                "      &lt;leftset>\n"
                                "      &lt;park\n"
                                "    </content></f>\n"
                                "    <!-- a note -->\n"
                                "    <f><name>merge</name></f>\n"
                                "  </mainFiles>\n"
                                "</job>\n";

void tst_EndToEnd::diagnosticsOfAFaultySource_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("withOutputFolder");
    QTest::addColumn<QByteArray>("expectedOutput");
    QTest::addColumn<QByteArray>("expectedError"); // OUTPUTFOLDER: the output folder's absolute path
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("earlierOutputKept");

    const QByteArray path = nativePath("SourceFiles/faulty.xml");
    const QByteArray diagnostics =
        path + ":3:14: warning: entry kind \"Left\" is not one of left, right, merge, tandem: the entry is left out; did you mean \"left\"?\n"
        + path + ":4:14: warning: entry kind \"lefft\" is not one of left, right, merge, tandem: the entry is left out; did you mean \"left\"?\n"
        + path + ":6:7: warning: marker \"<leftset>\" is neither <leftSet> nor <rightSet>: its Coordinate is empty; did you mean \"<leftSet>\"?\n"
        + path + ":7:7: warning: marker \"<park\" is neither <leftSet> nor <rightSet>: its Coordinate is empty\n"
        + path + ":9:20: note: a comment in mainFiles is read as an entry without a kind (Name is empty)\n"
        + path + ":10:14: warning: entry \"merge\" has no content lines: its configuration is empty\n";
    const QByteArray earlierKept = path + ": note: the earlier output " + nativePath("GenerateFiles/op1_faulty.xml") + " is left as it was\n";
    // Standard output byte for byte as the tool printed it before it had diagnostics.
    QTest::newRow("every diagnostic, with its line")
        << QStringList() << true << QByteArray("File size:1\nName is empty\n\tSucessfull:SourceFiles/faulty.xml\n")
        << diagnostics + "configgen: 1 of 1 source written, 2 entries left out, 5 warnings\n" << 0 << false;
    QTest::newRow("--strict keeps the earlier output")
        << QStringList("--strict") << true
        << QByteArray("File size:1\nName is empty\n\tFailed:SourceFiles/faulty.xml\t5 warnings: not written (--strict)\n")
        << diagnostics + path + ": error: not written: --strict writes no source with a warning\n" + earlierKept
            + "configgen: 0 of 1 source written, 2 entries left out, 5 warnings\n"
        << 2 << true;
    QTest::newRow("--check writes nothing")
        << QStringList("--check") << true << QByteArray("File size:1\nName is empty\n\tSucessfull:SourceFiles/faulty.xml\n")
        << diagnostics + "configgen: 1 of 1 source can be converted (--check writes nothing), 2 entries left out, 5 warnings\n"
        << 2 << true;
    QTest::newRow("--quiet shows errors only: no output folder")
        << QStringList("-q") << false << QByteArray("File size:1\nName is empty\n\tInvalid file path\n")
        << path + ": error: the output " + nativePath("GenerateFiles/op1_faulty.xml") + " cannot be created: " + noSuchFolder()
            + "; the output folder OUTPUTFOLDER does not exist (configgen does not create it)\n"
        << 2 << false;
}

void tst_EndToEnd::diagnosticsOfAFaultySource()
{
    QFETCH(QStringList, options);
    QFETCH(bool, withOutputFolder);
    QFETCH(QByteArray, expectedOutput);
    QFETCH(QByteArray, expectedError);
    QFETCH(int, exitCode);
    QFETCH(bool, earlierOutputKept);

    writeWorkFile(QStringLiteral("SourceFiles/faulty.xml"), faultySource);
    const QByteArray earlier = "earlier output\n";
    if (withOutputFolder)
        writeWorkFile(QStringLiteral("GenerateFiles/op1_faulty.xml"), earlier);
    else
        QVERIFY(QDir(workDirectory->filePath("GenerateFiles")).removeRecursively());
    removeDisplay();
    const ToolRun run = runTool({}, "", toolCommand(options + QStringList("SourceFiles/faulty.xml")));
    VERIFY_RUN(run);
    QCOMPARE(run.output, platformText(expectedOutput));
    QCOMPARE(run.errorOutput, platformText(expectedError.replace("OUTPUTFOLDER", shownPath("GenerateFiles").toUtf8())));
    QCOMPARE(run.exitCode, exitCode);
    if (withOutputFolder)
        QCOMPARE(readWorkFile("GenerateFiles/op1_faulty.xml") == earlier, earlierOutputKept);
}

// One source too large for the memory the tool may have must not end the batch.
void tst_EndToEnd::outOfMemoryFailsOneSource()
{
    if (underWine())
        QSKIP("the Linux program's memory limit is the case here");
#if defined(__SANITIZE_ADDRESS__) || defined(__has_feature)
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
    QSKIP("AddressSanitizer cannot start within a limit of the address space");
#endif
#endif
    // 30 MB, whose document takes far more than the 300 MB that the tool may have; b.xml needs little.
    QByteArray bigSource = "<job><mainFiles>";
    const QByteArray entry = "<f><name>left</name><content>T1 M6\n&lt;leftSet>\nG0 X52.0 Z2.0</content></f>";
    bigSource += entry.repeated(400000) + "</mainFiles></job>";
    writeWorkFile(QStringLiteral("SourceFiles/big.xml"), bigSource);
    const QStringList limitedShell = {QStringLiteral("bash"), QStringLiteral("-c"), QStringLiteral("ulimit -v 300000 && exec \"$0\" \"$@\"")};
    removeDisplay();
    const ToolRun run = runTool({}, "", limitedShell + toolCommand({QStringLiteral("SourceFiles/big.xml"), QStringLiteral("SourceFiles/b.xml")}));
    VERIFY_RUN(run);
    QCOMPARE(run.output, "File size:2\n\tFailed:SourceFiles/big.xml\t" + QByteArray(std::strerror(ENOMEM))
                             + "\n\tSucessfull:SourceFiles/b.xml\n");
    QCOMPARE(run.errorOutput, "SourceFiles/big.xml: error: not converted: " + QByteArray(std::strerror(ENOMEM)) + '\n'
                                  + diagnosticsOfB("SourceFiles/b.xml")
                                  + "configgen: 1 of 2 sources written, 0 entries left out, 1 warning\n");
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(outputFolderEntries(), QStringList("op1_b.xml"));
    QCOMPARE(readWorkFile("GenerateFiles/op1_b.xml"), outputB);
}

void tst_EndToEnd::consoleThatCannotBeWritten_data()
{
    QTest::addColumn<QString>("redirection");
    QTest::addColumn<int>("error");
    QTest::newRow("standard output is /dev/full") << ">/dev/full" << ENOSPC;
    QTest::newRow("standard output closed") << ">&-" << EBADF;
}

// A script that reads the console gets none of its lines: the run has not succeeded.
void tst_EndToEnd::consoleThatCannotBeWritten()
{
    QFETCH(QString, redirection);
    QFETCH(int, error);
    if (underWine())
        QSKIP("the Linux program's standard output is the case here");
    const QStringList redirected = {QStringLiteral("bash"), QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$@\" ") + redirection};
    writeWorkFile(QStringLiteral("SourceFiles/clean.xml"), sourceC);
    const ToolRun run = runTool({}, "", redirected + toolCommand({QStringLiteral("SourceFiles/clean.xml")}));
    VERIFY_RUN(run);
    QCOMPARE(run.output, QByteArray());
    QCOMPARE(run.errorOutput, "configgen: standard output could not be written: " + QByteArray(std::strerror(error)) + '\n');
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(readWorkFile("GenerateFiles/op1_clean.xml"), outputC);
}

void tst_EndToEnd::dialogWithoutDisplay_data()
{
    QTest::addColumn<bool>("forWindows");
    QTest::addColumn<QString>("display"); // Linux: none named when empty
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("outputToAFile");
    QTest::addColumn<QByteArray>("dialogModule"); // what is in its place: "built" for the module as built
    QTest::addColumn<QByteArray>("qtMessage"); // on a line of standard error before the tool's line
    QTest::addColumn<QByteArray>("toolLine"); // the last line of standard error

    const QByteArray nameTheSources = "or name the source files on the command line (configgen --help)\n";
    const QByteArray noPlugin = "This application failed to start because no Qt platform plugin could be initialized.";
    const QByteArray built = "built";
    QTest::newRow("no display named") << false << QString() << QStringList() << false << built << QByteArray()
                                      << "configgen: no display is named to show the file dialog on (DISPLAY is not set); start "
                                         "configgen in a desktop session, "
            + nameTheSources;
    QTest::newRow("a display that does not answer")
        << false << QStringLiteral(":4999") << QStringList() << false << built << noPlugin
        << "configgen: the display does not answer; start configgen in a desktop session, " + nameTheSources;
    QTest::newRow("a platform plugin that cannot be found")
        << false << QString() << QStringList({"-platform", "nosuchplugin"}) << false << built << noPlugin
        << "configgen: Qt's platform plugin cannot be loaded; install the Qt libraries that configgen needs, " + nameTheSources;
    const QByteArray keepPlatforms = "configgen: Qt's platform plugin (platforms\\qwindows.dll) cannot be loaded: keep the "
                                     "platforms folder beside configgen.exe, as the zip holds it\n";
    QTest::newRow("platforms folder missing") << true << QString() << QStringList() << false << built << noPlugin << keepPlatforms;
    QTest::newRow("platforms folder missing, output to a file")
        << true << QString() << QStringList() << true << built << noPlugin << keepPlatforms;
    const QByteArray reinstall = "configgen: install configgen again, " + nameTheSources;
    const QByteArray keepModule = "configgen: keep configgen-dialog.dll beside configgen.exe, as the zip holds it, " + nameTheSources;
    for (const bool forWindows : {false, true}) {
        const QByteArray toolLine = forWindows ? keepModule : reinstall;
        QTest::newRow(forWindows ? "dialog module missing, Windows" : "dialog module missing")
            << forWindows << QString() << QStringList() << false << QByteArray() << QByteArray(forWindows ? "\\configgen-dialog.dll is missing" : "/configgen-dialog.so is missing") << toolLine;
        QTest::newRow(forWindows ? "dialog module broken, Windows" : "dialog module broken")
            << forWindows << QString() << QStringList() << false << QByteArray("MZ, but not a module")
            << QByteArray("configgen: the file dialog's module cannot be loaded: Cannot load library ") << toolLine;
    }
}

void tst_EndToEnd::dialogWithoutDisplay()
{
    QFETCH(bool, forWindows);
    QFETCH(QString, display);
    QFETCH(QStringList, arguments);
    QFETCH(bool, outputToAFile);
    QFETCH(QByteArray, dialogModule);
    QFETCH(QByteArray, qtMessage);
    QFETCH(QByteArray, toolLine);

    if (forWindows != underWine())
        QSKIP("The row is for the other system");
    QStringList command = toolCommand(arguments);
    // Where the program looks for the module, relative to the work directory.
    const QString dialogModuleFile = forWindows
        ? QStringLiteral("configgen-dialog.dll")
        : QStringLiteral("bin/")
            + QFileInfo(QStringLiteral(CONFIGGEN_EXECUTABLE)).dir().relativeFilePath(QStringLiteral(CONFIGGEN_DIALOG_MODULE_FILE));
    if (forWindows) {
        // The unpacked program, its DLLs beside it, without the platforms folder.
        const QDir unpacked = QFileInfo(windowsProgram).dir();
        for (const QString &file : unpacked.entryList(QDir::Files)) {
            if (file != dialogModuleFile || dialogModule == "built")
                QVERIFY(QFile::copy(unpacked.filePath(file), workDirectory->filePath(file)));
        }
        command.last() = command.last().replace(windowsProgramPath(), shownPath(QFileInfo(windowsProgram).fileName()));
        if (outputToAFile)
            command.last() += QStringLiteral(" >output.txt 2>&1");
    } else if (dialogModule != "built") {
        // A copy of the program in a folder of its own, where the module is not.
        QVERIFY(QDir(workDirectory->path()).mkpath(QStringLiteral("bin")));
        command.first() = workDirectory->filePath(QStringLiteral("bin/configgen"));
        QVERIFY(QFile::copy(QStringLiteral(CONFIGGEN_EXECUTABLE), command.first()));
    } else {
        removeDisplay();
        if (!display.isEmpty())
            environment.insert(QStringLiteral("DISPLAY"), display);
    }
    if (!dialogModule.isEmpty() && dialogModule != "built") {
        QVERIFY(QDir(workDirectory->path()).mkpath(QFileInfo(dialogModuleFile).path()));
        writeWorkFile(dialogModuleFile, dialogModule);
    }
    const ToolRun run = runTool({}, "y\n", command);
    VERIFY_RUN(run);
    const QByteArray errorOutput = outputToAFile ? readWorkFile("output.txt") : run.errorOutput;
    QVERIFY2(errorOutput.endsWith(platformText(toolLine)), errorOutput.constData());
    QVERIFY2(errorOutput.contains(qtMessage), errorOutput.constData());
    QCOMPARE(run.output, QByteArray());
    QCOMPARE(run.exitCode, 1);
    if (dialogModule == "built")
        return;
    // A named source needs neither the dialog nor its module, nor Qt's GUI libraries, which the
    // dynamic loader names as it loads them.
    if (forWindows)
        command.last() += QStringLiteral(" SourceFiles\\a.xml");
    else
        command << QStringLiteral("SourceFiles/a.xml");
    environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
    const ToolRun named = runTool({}, "", command);
    VERIFY_RUN(named);
    QCOMPARE(named.exitCode, 0);
    QVERIFY2(forWindows || named.errorOutput.contains("libQt5Core"), "LD_DEBUG named no library");
    QVERIFY2(!named.errorOutput.contains("libQt5Gui") && !named.errorOutput.contains("libQt5Widgets"),
             named.errorOutput.constData());
}

void tst_EndToEnd::consoleOfItsOwn_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<bool>("waitsForEnter");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("withTemplate"); // in the test's working directory

    // `start` opens a console window for the program alone, as Explorer does for a double-click;
    // started in the program's own folder, the tool finds no template there.
    const QString programFolder = QStringLiteral("Z:") + QFileInfo(windowsProgram).absolutePath().replace('/', '\\');
    const QStringList start = {QStringLiteral("wine"), QStringLiteral("start"), QStringLiteral("/wait")};
    const QStringList startInItsFolder = start + QStringList({"/d", programFolder});
    // What a scheduled task or an export hook does: a console of the tool's own, with no window.
    const QStringList withoutWindow = {QStringLiteral("wine"), noWindowLauncher};
    QTest::newRow("dialog failure, own window") << startInItsFolder + QStringList(windowsProgramPath()) << true << 1 << true;
    QTest::newRow("usage error, own window") << start + QStringList({windowsProgramPath(), "--frobnicate"}) << false << 1 << true;
    QTest::newRow("named source failing, own window")
        << start + QStringList({windowsProgramPath(), "SourceFiles\\missing.xml"}) << false << 2 << true;
    QTest::newRow("success, own window") << start + QStringList({windowsProgramPath(), "--version"}) << false << 0 << true;
    QTest::newRow("failure, window of a prompt")
        << startInItsFolder + QStringList({"cmd", "/c", windowsProgramPath()}) << false << 1 << true;
    QTest::newRow("named source failing, no window")
        << withoutWindow + QStringList({windowsProgramPath(), "SourceFiles\\missing.xml"}) << false << 2 << true;
    QTest::newRow("dialog failure, no window") << withoutWindow + QStringList(windowsProgramPath()) << false << 1 << false;
}

void tst_EndToEnd::consoleOfItsOwn()
{
    QFETCH(QStringList, command);
    QFETCH(bool, waitsForEnter);
    QFETCH(int, exitCode);
    QFETCH(bool, withTemplate);

    if (!underWine())
        QSKIP("Only Windows closes a program's console window with the program");
    if (command.contains(noWindowLauncher) && noWindowLauncher.isEmpty())
        QSKIP("CONFIGGEN_NO_WINDOW_LAUNCHER names no program that starts the tool without a window");
    if (!withTemplate)
        QVERIFY(QFile::remove(workDirectory->filePath("Template/PostProcessorTemplate.xml")));
    QProcess tool;
    tool.setProcessEnvironment(environment);
    tool.setWorkingDirectory(workDirectory->path());
    tool.start(command.first(), command.mid(1));
    QVERIFY2(tool.waitForStarted(), qPrintable(tool.errorString()));
    if (waitsForEnter) {
        QStringList seenWindows;
        const QString window = waitForNewDialog(tool, seenWindows, QStringLiteral("configgen\\.exe$"));
        QVERIFY2(!window.isEmpty(), "no console window showed");
        QVERIFY2(!tool.waitForFinished(2000), "the window closed before Enter was pressed");
        runXdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        runXdotool({QStringLiteral("key"), QStringLiteral("Return")});
    }
    const bool ended = tool.waitForFinished(exitTimeoutMs);
    if (!ended) {
        tool.kill();
        tool.waitForFinished();
        restartWineserver();
    }
    QVERIFY2(ended, "the window stayed open");
    QCOMPARE(tool.exitCode(), exitCode);
}

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
