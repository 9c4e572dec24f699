// The least that a Qt program showing the tool's file dialog does: the same dialog, with the same
// caption, start folder and filter, in a plain QApplication with Qt's defaults and the system's
// allocator. bench/startup times configgen's start against it. Prints how many files were chosen.

#include <QApplication>
#include <QFileDialog>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const QStringList paths = QFileDialog::getOpenFileNames(nullptr, QStringLiteral("Open XML File"),
                                                            QStringLiteral("SourceFiles"),
                                                            QStringLiteral("XML files (*.xml)"));
    std::printf("File size:%d\n", static_cast<int>(paths.size()));
    return 0;
}
