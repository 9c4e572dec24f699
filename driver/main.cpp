#include "configgenerator.h"
#include "openglsetup.h"
#include "sourcejob.h"

#include <QApplication>

#include <csignal>

int main(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // Hitting the file size limit must fail the one write, which the output writer then undoes,
    // instead of killing the whole batch half-way through a file.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    makeAttributeOrderStable();
    skipOpenGlIntegration();
    QApplication application(argc, argv);
    ConfigGenerator generator;
    generator.runBatches();
}
