// Qt takes its own options off a widget program's command line while it makes the application
// object. The tool must know each of them, with its value, or it would take that value for a source
// (or refuse an option that Qt takes). Each row makes a real QApplication on a private X server, the
// platform whose options Qt on Linux takes, so that a Qt whose options change fails this test.

#include "commandline.h"
#include "privatedisplay.h"

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <vector>

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        display = startPrivateDisplay(xvfb);
        QVERIFY2(!display.isEmpty(), "Xvfb did not start");
        qputenv("DISPLAY", display.toLatin1());
        qunsetenv("QT_QPA_PLATFORM");
    }

    void cleanupTestCase() { stopPrivateDisplay(xvfb); }

    void qtTakesEveryQtOptionTheToolTakes_data()
    {
        QTest::addColumn<QStringList>("option");

        // Values that Qt accepts without failing to start.
        const QHash<QString, QString> values = {{"platform", "xcb"}, {"display", display}, {"visual", "0x21"},
                                                {"style", "Fusion"}, {"qmljsdebugger", "port:3768"},
                                                {"qwindowgeometry", "200x100+0+0"}, {"geometry", "200x100+0+0"}};
        for (const QCommandLineOption &option : qtOptions()) {
            const QString name = option.names().constFirst();
            QStringList words(QLatin1Char('-') + name);
            if (!option.valueName().isEmpty())
                words << values.value(name, QStringLiteral("value"));
            QTest::newRow(qPrintable(name)) << words;
        }
        QTest::newRow("-style=") << QStringList("-style=Fusion");
        QTest::newRow("--platform") << QStringList({"--platform", "xcb"});
    }

    void qtTakesEveryQtOptionTheToolTakes()
    {
        QFETCH(QStringList, option);

        const QStringList arguments = QStringList("tst_commandline") + option + QStringList("SourceFiles/a.xml");
        CommandLine commandLine;
        QVERIFY2(commandLine.parse(arguments), qPrintable(commandLine.errorLine()));
        QCOMPARE(commandLine.sources(), QStringList("SourceFiles/a.xml"));

        std::vector<QByteArray> bytes(arguments.size());
        std::transform(arguments.cbegin(), arguments.cend(), bytes.begin(), [](const QString &word) { return word.toLocal8Bit(); });
        std::vector<char *> argv(bytes.size());
        std::transform(bytes.begin(), bytes.end(), argv.begin(), [](QByteArray &word) { return word.data(); });
        int argc = static_cast<int>(argv.size());
        {
            const QApplication application(argc, argv.data());
            QCOMPARE(QApplication::platformName(), QStringLiteral("xcb"));
        }
        QCOMPARE(QStringList(argv.begin(), argv.begin() + argc), QStringList({"tst_commandline", "SourceFiles/a.xml"}));
    }

private:
    QProcess xvfb;
    QString display;
};

QTEST_APPLESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
