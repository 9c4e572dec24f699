#ifndef PRIVATEDISPLAY_H
#define PRIVATEDISPLAY_H

#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

// Starts an X server of the test's own in `xvfb` and returns its display (":N"), or an empty
// string when it did not start. Xvfb picks a free display number and writes it to standard output.
inline QString startPrivateDisplay(QProcess &xvfb)
{
    xvfb.start(QStringLiteral(XVFB_EXECUTABLE), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                                 QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                                                 QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                                 QStringLiteral("-noreset")});
    if (!xvfb.waitForStarted())
        return {};
    QDeadlineTimer deadline(10000);
    while (!xvfb.canReadLine() && !deadline.hasExpired())
        xvfb.waitForReadyRead(100);
    const QByteArray number = xvfb.readLine().trimmed();
    return number.isEmpty() ? QString() : QStringLiteral(":") + QString::fromLatin1(number);
}

inline void stopPrivateDisplay(QProcess &xvfb)
{
    xvfb.terminate();
    if (!xvfb.waitForFinished(5000))
        xvfb.kill();
}

#endif
