#ifndef FUZZWORKSPACE_H
#define FUZZWORKSPACE_H

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdlib>
#include <iostream>

// A private working directory for one fuzzing process, with the console silenced: the loaders'
// messages would otherwise flood the fuzzer's own report.
class FuzzWorkspace
{
public:
    FuzzWorkspace()
    {
        if (!directory.isValid() || !QDir(directory.path()).mkpath(QStringLiteral("Template")))
            std::abort();
        std::cout.setstate(std::ios::badbit);
    }

    QString path(const QString &relativePath) const { return directory.filePath(relativePath); }

    // Puts the fuzzer's bytes where the code under test reads its input.
    void writeFile(const QString &relativePath, const uint8_t *data, size_t size) const
    {
        QFile file(path(relativePath));
        if (!file.open(QIODevice::WriteOnly)
            || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            std::abort();
    }

private:
    QTemporaryDir directory;
};

#endif
