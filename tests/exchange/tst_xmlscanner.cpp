#include "XmlScanner.h"

#include <QBuffer>
#include <QTest>

namespace {

// The tokens of a document as one line: "<a x=1>", "'text'", "</a>", then "end" or the
// problem.
QString trace(const QByteArray &xml, qsizetype maxText = 1000)
{
    QByteArray data = xml;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    XmlScanner scanner(&buffer, maxText);
    QStringList tokens;
    for (;;) {
        switch (scanner.next()) {
        case XmlScanner::StartElement: {
            QString tag = u'<' + QString::fromUtf8(scanner.name());
            if (scanner.hasAttribute("x"))
                tag += QStringLiteral(" x=") + scanner.attributeText("x");
            tokens << tag + u'>';
            break;
        }
        case XmlScanner::EndElement:
            tokens << QStringLiteral("</") + QString::fromUtf8(scanner.name()) + u'>';
            break;
        case XmlScanner::Text:
            tokens << u'\'' + QString::fromUtf8(scanner.text()) + u'\'';
            break;
        case XmlScanner::EndOfDocument:
            return tokens.join(u' ') + QStringLiteral(" end");
        case XmlScanner::Invalid:
            tokens << QStringLiteral("problem %1").arg(int(scanner.problem()));
            return tokens.join(u' ');
        }
    }
}

QString problem(XmlScanner::Problem p)
{
    return QStringLiteral("problem %1").arg(int(p));
}

} // namespace

class TestXmlScanner : public QObject
{
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void refuses_data();
    void refuses();
    void entitiesAcrossChunks();
    void skipsAndReadsElementText();
};

void TestXmlScanner::reads_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("tokens");
    QTest::newRow("declaration, prefixes, empty element")
        << QByteArray("<?xml version=\"1.0\"?>\n<x:a x:x='1'><b/></x:a>\n")
        << "<a x=1> <b> </b> </a> end";
    QTest::newRow("entities and line ends")
        << QByteArray("<a>&lt;&gt;&amp;&quot;&apos;&#233;&#x20AC;\r\nz</a>")
        << "<a> '<>&\"'é€\nz' </a> end";
    QTest::newRow("cdata and comment")
        << QByteArray("<a><!-- <b> --><![CDATA[<b>&amp;]]></a>") << "<a> '<b>&amp;' </a> end";
    QTest::newRow("quoted > in an attribute")
        << QByteArray("<a x=\"1>2\" y='&amp;'/>") << "<a x=1>2> </a> end";
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF<a/>") << "<a> </a> end";
}

void TestXmlScanner::reads()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, tokens);
    QCOMPARE(trace(xml), tokens);
}

void TestXmlScanner::refuses_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("ending");
    const QString malformed = problem(XmlScanner::Problem::Malformed);
    QTest::newRow("end tag that does not match") << QByteArray("<a><b></a>") << malformed;
    QTest::newRow("unknown entity") << QByteArray("<a>&nbsp;</a>") << malformed;
    QTest::newRow("character zero") << QByteArray("<a>&#0;</a>") << malformed;
    QTest::newRow("document type")
        << QByteArray("<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>") << malformed;
    QTest::newRow("cut off") << QByteArray("<a><b>text") << malformed;
    QTest::newRow("text outside the root") << QByteArray("<a/>x") << malformed;
    QTest::newRow("empty") << QByteArray() << malformed;
    QTest::newRow("utf-16") << QByteArray("\xFF\xFE<\0a\0/\0>\0", 10) << malformed;
    QTest::newRow("nesting past the bound") << QByteArray("<a>").repeated(XmlScanner::kMaxDepth + 1)
                                            << problem(XmlScanner::Problem::TooDeep);
    QTest::newRow("text past the bound") << QByteArray("<a>") + QByteArray(1001, 'x') + "</a>"
                                         << problem(XmlScanner::Problem::TextTooLong);
    QTest::newRow("text past the bound across chunks")
        << QByteArray("<a>") + QByteArray(200000, 'x') << problem(XmlScanner::Problem::TextTooLong);
    QTest::newRow("name past the bound")
        << QByteArray("<") + QByteArray(XmlScanner::kMaxNameBytes + 1, 'a') + "/>"
        << problem(XmlScanner::Problem::TagTooLong);
    QTest::newRow("tag past the bound")
        << QByteArray("<a x=\"") + QByteArray(XmlScanner::kMaxTagBytes + 10, 'x')
        << problem(XmlScanner::Problem::TagTooLong);
}

void TestXmlScanner::refuses()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, ending);
    const QString tokens = trace(xml);
    QVERIFY2(tokens.endsWith(ending), qPrintable(tokens.right(80)));
}

void TestXmlScanner::entitiesAcrossChunks()
{
    // An entity, a tag and a CDATA section cut by the reading chunk's edge at any byte.
    constexpr int kChunk = 64 * 1024;
    for (int shift = 0; shift < 12; ++shift) {
        const QByteArray head = "<a>" + QByteArray(kChunk - 3 - shift, 'x');
        const QString tokens = trace(head + "&#x20AC;<b x=\"1\"/><![CDATA[c]]></a>", 2 * kChunk);
        QVERIFY2(tokens.endsWith(QStringLiteral("xxx€' <b x=1> </b> 'c' </a> end")),
                 qPrintable(tokens.right(60)));
    }
}

void TestXmlScanner::skipsAndReadsElementText()
{
    QByteArray data("<c><f>1+1<g>x</g></f><v>4<w>no</w>2</v><u/></c>");
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    XmlScanner scanner(&buffer, 100);
    QCOMPARE(scanner.next(), XmlScanner::StartElement); // c
    QCOMPARE(scanner.next(), XmlScanner::StartElement); // f
    QVERIFY(scanner.skipElement());
    QCOMPARE(scanner.next(), XmlScanner::StartElement); // v
    QByteArray text;
    QVERIFY(scanner.readElementText(&text));
    QCOMPARE(text, QByteArray("42"));
    QCOMPARE(scanner.next(), XmlScanner::StartElement); // u
    QVERIFY(scanner.isEmptyElement());
    QVERIFY(scanner.readElementText(&text));
    QCOMPARE(text, QByteArray());
    QCOMPARE(scanner.next(), XmlScanner::EndElement);
    QCOMPARE(scanner.depth(), 0);
    QCOMPARE(scanner.next(), XmlScanner::EndOfDocument);
}

QTEST_GUILESS_MAIN(TestXmlScanner)
#include "tst_xmlscanner.moc"
