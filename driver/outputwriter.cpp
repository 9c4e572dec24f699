#include "outputwriter.h"

#include <QDomDocument>
#include <QDomElement>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextCodec>

#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int indentation = 4;

// Stands for the configurations in a copy of the template root that the DOM writes once: what it
// writes before the placeholder comes before the first configuration, what it writes after it
// follows the last. The placeholder is the root's last child, so the last `<name/>` in the text is
// the placeholder's, whatever the template holds.
const QString placeholderName = QStringLiteral("configgen-configurations");

// A UTF-8 codec: Qt's own, with a quick answer to the question that Qt's DOM serializer asks for
// every character it writes, whether the codec can encode it. Qt answers it by encoding the
// character into a new byte array, and its UTF-8 codec says yes for every character, a half of a
// surrogate pair too: so does this one, without the array. tst_outputwriter checks that Qt still
// asks as convertFromUnicode() expects.
class Utf8Codec : public QTextCodec
{
public:
    QByteArray name() const override { return QByteArrayLiteral("configgen-UTF-8"); }
    // Not a registered encoding's number, so that QTextCodec::codecForMib() finds Qt's own codecs.
    int mibEnum() const override { return -106; }

protected:
    QString convertToUnicode(const char *in, int length, ConverterState *state) const override
    {
        return utf8->toUnicode(in, length, state);
    }

    QByteArray convertFromUnicode(const QChar *in, int length, ConverterState *state) const override
    {
        // QTextCodec::canEncode() converts one character with exactly this flag and reads only
        // the count of invalid characters.
        if (length == 1 && state != nullptr && state->flags == ConvertInvalidToNull)
            return {};
        return utf8->fromUnicode(in, length, state);
    }

private:
    QTextCodec *const utf8 = QTextCodec::codecForName("UTF-8");
};

// Why the symlink at `path` must not be written through; empty where it may be, or where there is none.
// An output folder is often shared, and a link that another user put there would have the tool
// replace, with its user's rights, whatever file that user chose (the rule the kernel's
// protected_symlinks applies in sticky folders, made simpler). A link to nothing is never followed
// either: the file put in place would be created wherever the link points.
QString refusedLink([[maybe_unused]] const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat link;
    if (lstat(QFile::encodeName(path).constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return {};
    if (link.st_uid != geteuid())
        return QStringLiteral("it is a symbolic link that another user owns, which is not followed");
    if (!QFileInfo::exists(path))
        return QStringLiteral("it is a symbolic link that leads to no file, which is not followed");
#endif
    return {};
}

// QSaveFile writes the new file beside an existing one, under the existing one's name and 7 more
// characters (".XXXXXX"), before it puts it in place; where that name would be too long for the
// folder, it fails without a reason. Such a file is kept, and the source's line says why.
QString refusedReplacement([[maybe_unused]] const QString &path)
{
#ifdef Q_OS_UNIX
    const QFileInfo existing(path);
    if (!existing.isFile() || !QFileInfo(existing.absolutePath()).isWritable()) // else it is rewritten in place
        return {};
    const long longestName = pathconf(QFile::encodeName(existing.absolutePath()).constData(), _PC_NAME_MAX);
    if (longestName > 0 && QFile::encodeName(existing.fileName()).size() + 7 > longestName)
        return QStringLiteral("its name is too long for the new file written beside it before it replaces it; the earlier file "
                              "is kept");
#endif
    return {};
}

std::unique_ptr<QFileDevice> makeOutputFile(const QString &path)
{
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile() && !existing.isDir()) // a named pipe, a device, a symlink to one
        return std::make_unique<QFile>(path);
    auto file = std::make_unique<QSaveFile>(path);
    file->setDirectWriteFallback(true);
    return file;
}

// Puts the written file in place; false when the file system refused any of it.
bool commitFile(QFileDevice &file)
{
    if (auto *const saveFile = qobject_cast<QSaveFile *>(&file))
        return saveFile->commit();
    file.close();
    return file.error() == QFileDevice::NoError;
}

// `text` with every line indented once more, where a line after text starts at once, without its
// own indentation. memchr finds each line end: QByteArray::replace() would look for them a byte at a
// time with a general matcher.
QByteArray indentedOnce(const QByteArray &text, bool afterText)
{
    QByteArray indented;
    const char *line = text.constData() + (afterText ? indentation : 0);
    const char *const end = text.constData() + text.size();
    for (bool indentLine = !afterText; line < end; indentLine = true) {
        const void *const lineEnd = std::memchr(line, '\n', std::size_t(end - line));
        const char *const next = lineEnd != nullptr ? static_cast<const char *>(lineEnd) + 1 : end;
        if (indentLine)
            indented.append(indentation, ' ');
        indented.append(line, int(next - line));
        line = next;
    }
    return indented;
}

} // namespace

OutputWriter::OutputWriter(const QDomNode &templateRoot, const QString &outputPath)
    : templateRoot(templateRoot), refusal(refusedLink(outputPath)), file(makeOutputFile(outputPath)),
      scratchStream(&scratch, QIODevice::WriteOnly)
{
    static QTextCodec *const utf8 = new Utf8Codec; // Qt keeps a codec once made, and deletes it at the end
    scratchStream.setCodec(utf8);
    if (refusal.isEmpty())
        refusal = refusedReplacement(outputPath);
    if (refusal.isEmpty())
        file->open(QIODevice::WriteOnly | QIODevice::Text);
}

// What the DOM writes of `node` alone, as UTF-8 with line feeds; the file, opened as text, turns
// them into the platform's line ends.
QByteArray OutputWriter::serialized(const QDomNode &node)
{
    scratch.resize(0);
    scratchStream.seek(0);
    node.save(scratchStream, indentation, QDomNode::EncodingFromDocument);
    scratchStream.flush();
    return scratch;
}

// Pushes the buffered bytes to the file. A write that the file system cuts short (the disk fills up
// half-way through it) makes Qt's flush fail without the system's reason, as "Unknown error":
// flushing the rest is what fails with it, and it then stays for the outcome.
bool OutputWriter::flushed()
{
    if (file->flush())
        return true;
    file->flush();
    return false;
}

// Writes what comes before the first configuration, and keeps what follows the last.
void OutputWriter::startContent()
{
    started = true;
    QDomNode root = templateRoot.cloneNode(true);
    indentNext = !root.lastChild().isText();
    root.appendChild(root.ownerDocument().createElement(placeholderName));
    const QByteArray whole = serialized(root);
    const QByteArray placeholder = '<' + placeholderName.toUtf8() + "/>\n";
    const int at = whole.lastIndexOf(placeholder);
    Q_ASSERT(at >= 0);
    int headEnd = at;
    // An indented placeholder follows a line end and its indentation, which each configuration
    // writes for itself.
    while (indentNext && headEnd > 0 && whole.at(headEnd - 1) == ' ')
        --headEnd;
    file->write(whole.constData(), headEnd);
    tail = whole.mid(at + placeholder.size());
}

// The DOM writes a configuration alone as it writes the root of a tree; as a child of the root,
// every line of it is indented once more, and its first line not at all after text. None of its
// text holds a line break: its items are lines.
void OutputWriter::append(const QDomNode &configuration)
{
    if (!file->isOpen() || file->error() != QFileDevice::NoError)
        return;
    if (!started)
        startContent();
    file->write(indentedOnce(serialized(configuration), !indentNext));
    indentNext = true;
}

SourceOutcome OutputWriter::finish()
{
    if (!refusal.isEmpty())
        return {SourceOutcome::CannotWrite, refusal};
    if (!file->isOpen())
        return {SourceOutcome::CannotOpenOutput, file->errorString()};
    if (started) {
        file->write(tail);
    } else {
        const QByteArray whole = serialized(templateRoot.cloneNode(true));
        file->write(whole);
    }
    // QSaveFile::commit() can lose a failed write (a full disk, a file size limit), so push every
    // byte to the disk here and check, while the write can still be undone: a new file that is not
    // committed goes with the writer.
    if (!flushed() || file->error() != QFileDevice::NoError || !commitFile(*file))
        return {SourceOutcome::CannotWrite, file->errorString()};
    return {SourceOutcome::Written, QString()};
}
