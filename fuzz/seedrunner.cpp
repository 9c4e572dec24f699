// Runs a fuzz target's entry function once on every file in the folders named, without libFuzzer:
// the target aborts on any input whose result it finds wrong.

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdlib>
#include <iostream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char *argv[])
{
    int inputs = 0;
    for (int folder = 1; folder < argc; ++folder) {
        const QFileInfoList files = QDir(QString::fromLocal8Bit(argv[folder])).entryInfoList(QDir::Files, QDir::Name);
        for (const QFileInfo &file : files) {
            QFile input(file.absoluteFilePath());
            if (!input.open(QIODevice::ReadOnly)) {
                std::cerr << "cannot read " << file.absoluteFilePath().toStdString() << '\n';
                return EXIT_FAILURE;
            }
            const QByteArray bytes = input.readAll();
            std::cerr << "input: " << file.absoluteFilePath().toStdString() << '\n';
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
            ++inputs;
        }
    }
    std::cerr << inputs << " inputs run\n";
    return inputs > 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
