// The output writer writes each configuration as it comes instead of the whole output tree; its
// files must be, byte for byte, what Qt's DOM writes of that tree, for any template.

#include "domtext.h"
#include "outputwriter.h"

#include <QDomDocument>
#include <QDomElement>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

#ifdef Q_OS_UNIX
#include <QScopeGuard>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Records how Qt asks a codec whether it can encode a character.
class RecordingCodec : public QTextCodec
{
public:
    QByteArray name() const override { return QByteArrayLiteral("tst-recording"); }
    int mibEnum() const override { return -2; }

    mutable QVector<std::pair<int, ConversionFlags>> conversions; // length and flags of each

protected:
    QString convertToUnicode(const char *, int, ConverterState *) const override { return {}; }
    QByteArray convertFromUnicode(const QChar *, int length, ConverterState *state) const override
    {
        conversions.append({length, state != nullptr ? state->flags : ConversionFlags(-1)});
        return QByteArrayLiteral("?");
    }
};

// A configuration as the tool makes them: attributes, items (one empty, one with text that needs
// escaping, one not ASCII, one outside the BMP, lone halves of surrogate pairs), an empty and a
// named coordinate.
QDomElement makeConfiguration(QDomDocument &document, int number)
{
    QDomElement configuration = document.createElement(QStringLiteral("Configulation"));
    configuration.setAttribute(QStringLiteral("Name"), QString::number(number));
    configuration.setAttribute(QStringLiteral("Prefix"), QString());
    const QStringList texts = {QStringLiteral("T0101 M6"), QString(), QStringLiteral("a & b < c > \"d\""),
                               QStringLiteral("\u5DE5\u5177 ]]>"), QString::fromUtf8("\xF0\x9F\x94\xA7 G0"),
                               QString(QChar(0xD83D)) + QStringLiteral("x"), QString(QChar(0xDD27))};
    for (const QString &text : texts) {
        QDomElement item = document.createElement(QStringLiteral("Item"));
        item.appendChild(document.createTextNode(text));
        configuration.appendChild(item);
    }
    configuration.appendChild(document.createElement(QStringLiteral("Coordinate")));
    QDomElement coordinate = document.createElement(QStringLiteral("Coordinate"));
    coordinate.appendChild(document.createTextNode(QStringLiteral("G54")));
    configuration.appendChild(coordinate);
    return configuration;
}

// What the DOM writes of the template root with the configurations appended.
QByteArray domWrites(const QDomNode &templateRoot, const QList<QDomElement> &configurations)
{
    QDomNode tree = templateRoot.cloneNode(true);
    for (const QDomElement &configuration : configurations)
        tree.appendChild(configuration.cloneNode(true));
    return domText(tree);
}

#ifdef Q_OS_UNIX
// Writes the template alone to `path` and returns what the writer says, and its reason in `reason`.
SourceOutcome::Result writeTemplate(const QString &path, QString *reason = nullptr, const QByteArray &templateXml = "<Post/>")
{
    QDomDocument templateDocument;
    if (!templateDocument.setContent(templateXml))
        return SourceOutcome::NotLoaded;
    const SourceOutcome outcome = OutputWriter(templateDocument.documentElement(), path).finish();
    if (reason != nullptr)
        *reason = outcome.reason;
    return outcome.result;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

const QByteArray writtenTemplate = "    <Post/>\n";

// The folder that the closed-folder test prepares, handed to the copy of this test that runs as an
// unprivileged user when the test runs as root (who may write anywhere).
const char *const closedFolderVariable = "CONFIGGEN_TEST_CLOSED_FOLDER";
#endif

} // namespace

class tst_OutputWriter : public QObject
{
    Q_OBJECT

private slots:
    void qtAsksCanEncodeAsTheWriterExpects();
    void writesWhatTheDomWrites_data();
    void writesWhatTheDomWrites();
    void cannotOpen();
    void writesIntoWhatItMayNotReplace_data();
    void writesIntoWhatItMayNotReplace();
    void rewritesOpenFileInClosedFolder();
    void symlinkAtOutputPath_data();
    void symlinkAtOutputPath();
    void longestFileNames_data();
    void longestFileNames();
    void failedLastWriteKeepsEarlierFile_data();
    void failedLastWriteKeepsEarlierFile();
};

void tst_OutputWriter::writesWhatTheDomWrites_data()
{
    QTest::addColumn<QByteArray>("templateXml");
    QTest::addColumn<int>("configurations");
    const QList<QPair<const char *, QByteArray>> templates = {
        {"no children", "<Post/>"},
        {"elements", "<Post A=\"1\" B=\"2\"><Machine X=\"1\"/><Output><Line>N10</Line></Output></Post>"},
        {"text only", "<Post>plain text</Post>"},
        {"text last", "<Post><Machine/>text last  </Post>"},
        {"CDATA last", "<Post><Machine/><![CDATA[<raw>]]></Post>"},
        {"comment last", "<Post><Machine/><!-- note --></Post>"},
        {"namespaced root", "<p:Post xmlns:p=\"urn:post\"><p:Machine/></p:Post>"},
        {"comments around the root", "<!-- before --><Post><Machine/></Post><!-- after -->"},
        {"placeholder's name in the template", "<Post><configgen-configurations/></Post>"},
    };
    for (const auto &[name, xml] : templates) {
        for (int count : {0, 1, 3})
            QTest::addRow("%s, %d configurations", name, count) << xml << count;
    }
}

void tst_OutputWriter::writesWhatTheDomWrites()
{
    QFETCH(QByteArray, templateXml);
    QFETCH(int, configurations);
    QDomDocument templateDocument;
    QVERIFY(templateDocument.setContent(templateXml));
    const QDomElement templateRoot = templateDocument.documentElement();
    QDomDocument sourceDocument;
    QList<QDomElement> made;
    for (int number = 0; number < configurations; ++number)
        made << makeConfiguration(sourceDocument, number);
    const QByteArray expected = domWrites(templateRoot, made);

    const QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("out.xml"));
    OutputWriter writer(templateRoot, path);
    for (const QDomElement &configuration : made)
        writer.append(configuration);
    QCOMPARE(writer.finish().result, SourceOutcome::Written);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly | QIODevice::Text));
    QCOMPARE(written.readAll(), expected);
}

// The writer's codec answers canEncode() quickly by the shape of Qt's call: one character, a
// state, and no flag but ConvertInvalidToNull. Another shape would go the slow way, and a real
// conversion of that shape would lose its character.
void tst_OutputWriter::qtAsksCanEncodeAsTheWriterExpects()
{
    auto *const codec = new RecordingCodec; // Qt keeps and deletes it
    QVERIFY(codec->canEncode(QChar(0x00E9)));
    using Conversion = std::pair<int, QTextCodec::ConversionFlags>;
    QCOMPARE(codec->conversions, QVector<Conversion>({{1, QTextCodec::ConvertInvalidToNull}}));
    codec->conversions.clear();
    QByteArray written;
    QTextStream stream(&written);
    stream.setCodec(codec);
    stream << QChar(0x00E9);
    stream.flush();
    QVERIFY(!codec->conversions.isEmpty());
    for (const Conversion &conversion : qAsConst(codec->conversions))
        QVERIFY(conversion.second != QTextCodec::ConvertInvalidToNull);
}

void tst_OutputWriter::cannotOpen()
{
    QDomDocument templateDocument;
    QVERIFY(templateDocument.setContent(QByteArray("<Post/>")));
    const QTemporaryDir directory;
    OutputWriter writer(templateDocument.documentElement(), directory.filePath(QStringLiteral("missing/out.xml")));
    QDomDocument sourceDocument;
    writer.append(makeConfiguration(sourceDocument, 1));
    QCOMPARE(writer.finish().result, SourceOutcome::CannotOpenOutput);
    QVERIFY(!QFile::exists(directory.filePath(QStringLiteral("missing"))));
}

void tst_OutputWriter::writesIntoWhatItMayNotReplace_data()
{
    QTest::addColumn<bool>("throughSymlink");
    QTest::newRow("named pipe with a reader") << false;
    QTest::newRow("symlink to a named pipe with a reader") << true;
}

// A file put in place of a named pipe would never reach the pipe's reader.
void tst_OutputWriter::writesIntoWhatItMayNotReplace()
{
#ifndef Q_OS_UNIX
    QSKIP("named pipes are a POSIX system's");
#else
    QFETCH(bool, throughSymlink);
    const QTemporaryDir directory;
    const QString pipe = directory.filePath(QStringLiteral("pipe"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString path = throughSymlink ? directory.filePath(QStringLiteral("out.xml")) : pipe;
    QVERIFY(!throughSymlink || QFile::link(pipe, path));
    // Opened without waiting for a writer, so that the writer's open does not wait either and the
    // output, smaller than the pipe's buffer, is there to read once written.
    const int reader = open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    QCOMPARE(writeTemplate(path), SourceOutcome::Written);
    QByteArray received(4096, '\0');
    received.resize(int(qMax<ssize_t>(read(reader, received.data(), std::size_t(received.size())), 0)));
    close(reader);
    QCOMPARE(received, writtenTemplate);
    QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
    QCOMPARE(QFileInfo(path).isSymLink(), throughSymlink);
#endif
}

// Shared folders are often set up so: the user may write the file but not create files beside it.
// Root may write anywhere, so as root the test has a copy of itself write as user nobody.
void tst_OutputWriter::rewritesOpenFileInClosedFolder()
{
#ifndef Q_OS_UNIX
    QSKIP("file modes and users are a POSIX system's");
#else
    if (const QString prepared = qEnvironmentVariable(closedFolderVariable); !prepared.isEmpty()) {
        QVERIFY2(!QFileInfo(prepared).isWritable(), "the folder is open to this user");
        QCOMPARE(writeTemplate(prepared + QStringLiteral("/out.xml")), SourceOutcome::Written);
        return;
    }
    const QTemporaryDir directory;
    const QString folder = directory.filePath(QStringLiteral("GenerateFiles"));
    const QString path = folder + QStringLiteral("/out.xml");
    QFile earlier(path);
    QVERIFY(QDir().mkdir(folder) && earlier.open(QIODevice::WriteOnly) && earlier.write("earlier output, longer than the new\n") > 0);
    earlier.close();
    QVERIFY(chmod(QFile::encodeName(path).constData(), 0666) == 0 && chmod(QFile::encodeName(folder).constData(), 0555) == 0
            && chmod(QFile::encodeName(directory.path()).constData(), 0755) == 0);
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    const passwd *const nobody = getpwnam("nobody");
    if (geteuid() != 0) {
        QCOMPARE(writeTemplate(path), SourceOutcome::Written);
    } else if (setpriv.isEmpty() || nobody == nullptr) {
        QSKIP("runs as root, and without setpriv or a user 'nobody' it cannot write as a user who may not write everywhere");
    } else {
        QProcess copy;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(closedFolderVariable), folder);
        copy.setProcessEnvironment(environment);
        copy.setProcessChannelMode(QProcess::MergedChannels);
        copy.start(setpriv, {QStringLiteral("--reuid=%1").arg(nobody->pw_uid), QStringLiteral("--regid=%1").arg(nobody->pw_gid),
                             QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(),
                             QStringLiteral("rewritesOpenFileInClosedFolder")});
        QVERIFY(copy.waitForFinished(30000));
        QVERIFY2(copy.exitStatus() == QProcess::NormalExit && copy.exitCode() == 0, copy.readAll().constData());
    }
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), writtenTemplate);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList(QStringLiteral("out.xml")));
    chmod(QFile::encodeName(folder).constData(), 0755); // for QTemporaryDir to remove it
#endif
}

void tst_OutputWriter::symlinkAtOutputPath_data()
{
    QTest::addColumn<QString>("target"); // outside the output folder: "file", "named pipe" or "nothing"
    QTest::addColumn<bool>("anotherUsersLink");
    QTest::addColumn<bool>("followed");
    QTest::newRow("own link to a file") << "file" << false << true;
    QTest::newRow("own link to nothing") << "nothing" << false << false;
    QTest::newRow("another user's link to a file") << "file" << true << false;
    QTest::newRow("another user's link to nothing") << "nothing" << true << false;
    QTest::newRow("another user's link to a named pipe") << "named pipe" << true << false;
}

// A shared output folder may hold a link that another user put there to have the tool overwrite
// a file of that user's choosing, with the tool user's rights.
void tst_OutputWriter::symlinkAtOutputPath()
{
#ifndef Q_OS_UNIX
    QSKIP("file owners are a POSIX system's");
#else
    QFETCH(QString, target);
    QFETCH(bool, anotherUsersLink);
    QFETCH(bool, followed);
    const QTemporaryDir directory;
    const QString folder = directory.filePath(QStringLiteral("GenerateFiles"));
    const QString linked = directory.filePath(QStringLiteral("someone's file"));
    const QString link = folder + QStringLiteral("/out.xml");
    const QByteArray earlier = "someone's own content\n";
    QFile linkedFile(linked);
    QVERIFY(QDir().mkdir(folder) && QFile::link(linked, link));
    if (target == QLatin1String("file"))
        QVERIFY(linkedFile.open(QIODevice::WriteOnly) && linkedFile.write(earlier) == earlier.size());
    linkedFile.close();
    if (target == QLatin1String("named pipe"))
        QCOMPARE(mkfifo(QFile::encodeName(linked).constData(), 0600), 0);
    // A reader, so that a writer that follows the link does not wait for one.
    const int reader = target == QLatin1String("named pipe") ? open(QFile::encodeName(linked).constData(), O_RDONLY | O_NONBLOCK) : -1;
    if (anotherUsersLink) {
        const passwd *const nobody = getpwnam("nobody");
        if (geteuid() != 0 || nobody == nullptr)
            QSKIP("only root can give a link to another user, here user nobody");
        QCOMPARE(lchown(QFile::encodeName(link).constData(), nobody->pw_uid, nobody->pw_gid), 0);
    }
    QString reason;
    const SourceOutcome::Result result = writeTemplate(link, &reason);
    QByteArray received(4096, '\0');
    if (reader >= 0) {
        received.resize(int(qMax<ssize_t>(read(reader, received.data(), std::size_t(received.size())), 0)));
        close(reader);
    }
    QVERIFY(QFileInfo(link).isSymLink());
    // QDir lists a link to nothing only among the system's files.
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList(QStringLiteral("out.xml")));
    if (followed) {
        QCOMPARE(result, SourceOutcome::Written);
        QCOMPARE(contentOf(linked), writtenTemplate);
        return;
    }
    QCOMPARE(result, SourceOutcome::CannotWrite);
    QVERIFY2(reason.contains(QLatin1String("symbolic link")), qPrintable(reason));
    if (target == QLatin1String("file"))
        QCOMPARE(contentOf(linked), earlier);
    else if (target == QLatin1String("named pipe"))
        QCOMPARE(received, QByteArray());
    else
        QVERIFY(!QFileInfo::exists(linked));
#endif
}

void tst_OutputWriter::longestFileNames_data()
{
    QTest::addColumn<int>("nameLength");
    QTest::addColumn<bool>("earlierFile");
    QTest::addColumn<bool>("written");
    QTest::newRow("248 bytes, replacing") << 248 << true << true;
    QTest::newRow("249 bytes, replacing") << 249 << true << false;
    QTest::newRow("255 bytes, replacing") << 255 << true << false;
    QTest::newRow("255 bytes, new") << 255 << false << true;
}

// QSaveFile writes a new file under the old one's name and 7 more characters before it replaces
// the old one; a folder of the system's temporary files takes names of 255 bytes.
void tst_OutputWriter::longestFileNames()
{
#ifndef Q_OS_UNIX
    QSKIP("the longest names of Windows' file systems count UTF-16 characters, not bytes");
#else
    QFETCH(int, nameLength);
    QFETCH(bool, earlierFile);
    QFETCH(bool, written);
    const QTemporaryDir directory;
    const QString path = directory.filePath(QString(nameLength, QLatin1Char('n')));
    const QByteArray earlier = "earlier output\n";
    QFile earlierOutput(path);
    QVERIFY(!earlierFile || (earlierOutput.open(QIODevice::WriteOnly) && earlierOutput.write(earlier) == earlier.size()));
    earlierOutput.close();
    QString reason;
    QCOMPARE(writeTemplate(path, &reason), written ? SourceOutcome::Written : SourceOutcome::CannotWrite);
    QCOMPARE(contentOf(path), written ? writtenTemplate : earlier);
    QVERIFY2(written || reason.contains(QLatin1String("too long")), qPrintable(reason));
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
#endif
}

void tst_OutputWriter::failedLastWriteKeepsEarlierFile_data()
{
    QTest::addColumn<bool>("fullDisk"); // else a file size limit
    QTest::newRow("file size limit") << false;
    QTest::newRow("full disk") << true;
}

// An output smaller than Qt's write buffer reaches the file only as it is put in place, where
// QSaveFile would not notice that the write failed. The system cuts the write short first, and
// only the write of the rest fails with its reason.
void tst_OutputWriter::failedLastWriteKeepsEarlierFile()
{
#ifndef Q_OS_UNIX
    QSKIP("file size limits and small file systems are a POSIX system's");
#else
    QFETCH(bool, fullDisk);
    const QTemporaryDir directory;
    const QString disk = directory.filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkdir(disk));
    if (fullDisk) {
        if (geteuid() != 0)
            QSKIP("a small file system to fill needs root to mount it");
        if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", disk}) != 0)
            QSKIP("mount cannot make a small tmpfs here");
    }
    const auto unmount = qScopeGuard([&] {
        if (fullDisk)
            QProcess::execute(QStringLiteral("umount"), {disk});
    });
    const QString path = disk + QStringLiteral("/out.xml");
    const QByteArray earlier = "earlier output\n";
    QFile earlierFile(path);
    QVERIFY(earlierFile.open(QIODevice::WriteOnly) && earlierFile.write(earlier) == earlier.size());
    earlierFile.close();
    const QByteArray largeTemplate = "<Post>" + QByteArray(12000, 'x') + "</Post>";
    QString reason;
    SourceOutcome::Result result;
    if (fullDisk) {
        // Filled up, then 8 KiB freed: the 12 KB output is cut short.
        QFile filler(disk + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        QVERIFY(filler.resize(filler.size() - 8192));
        filler.close();
        result = writeTemplate(path, &reason, largeTemplate);
        QVERIFY(filler.remove());
    } else {
        rlimit previous{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
        const rlimit small{4, previous.rlim_max};
        const auto ignored = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        result = writeTemplate(path, &reason);
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, ignored);
    }
    QCOMPARE(result, SourceOutcome::CannotWrite);
    QCOMPARE(reason, QString::fromLocal8Bit(std::strerror(fullDisk ? ENOSPC : EFBIG)));
    QCOMPARE(contentOf(path), earlier);
    QCOMPARE(QDir(disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList(QStringLiteral("out.xml")));
#endif
}

QTEST_GUILESS_MAIN(tst_OutputWriter)
#include "tst_outputwriter.moc"
