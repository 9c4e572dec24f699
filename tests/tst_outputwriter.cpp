// The output writer writes each configuration as it comes instead of the whole output tree; its
// files must be, byte for byte, what Qt's DOM writes of that tree, for any template.

#include "domtext.h"
#include "outputwriter.h"

#include <QDomDocument>
#include <QDomElement>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

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

} // namespace

class tst_OutputWriter : public QObject
{
    Q_OBJECT

private slots:
    void writesWhatTheDomWrites_data();
    void writesWhatTheDomWrites();
    void cannotOpen();
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
    QCOMPARE(writer.finish(), WriteResult::Written);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly | QIODevice::Text));
    QCOMPARE(written.readAll(), expected);
}

void tst_OutputWriter::cannotOpen()
{
    QDomDocument templateDocument;
    QVERIFY(templateDocument.setContent(QByteArray("<Post/>")));
    const QTemporaryDir directory;
    OutputWriter writer(templateDocument.documentElement(), directory.filePath(QStringLiteral("missing/out.xml")));
    QDomDocument sourceDocument;
    writer.append(makeConfiguration(sourceDocument, 1));
    QCOMPARE(writer.finish(), WriteResult::CannotOpen);
    QVERIFY(!QFile::exists(directory.filePath(QStringLiteral("missing"))));
}

QTEST_GUILESS_MAIN(tst_OutputWriter)
#include "tst_outputwriter.moc"
