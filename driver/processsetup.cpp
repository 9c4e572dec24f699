#include "processsetup.h"

#include <QByteArray>
#include <QHash>

#include <csignal>

void setUpProcess()
{
    qSetGlobalQHashSeed(0);
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", QByteArrayLiteral("none"));
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}
