#include "SplitFields.h"

#include <QTest>

class TestSplitFields : public QObject
{
    Q_OBJECT
private slots:
    void splits_data();
    void splits();
    void quotedFieldsComeBackWhole_data();
    void quotedFieldsComeBackWhole();
};

void TestSplitFields::splits_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");

    // Blanks
    QTest::newRow("empty line") << "" << QStringList();
    QTest::newRow("only blanks") << " \t " << QStringList();
    QTest::newRow("a blank splits like a comma") << "Runden: 5" << QStringList{"Runden:", "5"};
    QTest::newRow("leading and trailing blanks dropped") << "  a  " << QStringList{"a"};
    QTest::newRow("control characters are blanks") << "a\x01\x1f"
                                                      "b"
                                                   << QStringList{"a", "b"};
    QTest::newRow("blanks around commas") << "a , b" << QStringList{"a", "b"};
    QTest::newRow("blanks kept inside quotes") << "\" a, b \"" << QStringList{" a, b "};

    // Commas
    QTest::newRow("two commas give an empty field") << "a,,b" << QStringList{"a", "", "b"};
    QTest::newRow("leading comma gives an empty field") << ",a" << QStringList{"", "a"};
    QTest::newRow("trailing comma gives one empty field") << "a," << QStringList{"a", ""};
    QTest::newRow("comma then blank at the end") << "a, " << QStringList{"a"};
    QTest::newRow("lone comma") << "," << QStringList{"", ""};
    QTest::newRow("row with empty start numbers")
        << "Start-Nr.:,,7,," << QStringList{"Start-Nr.:", "", "7", "", ""};

    // Quotes
    QTest::newRow("quoted comma stays")
        << "\"Monaco, Monte Carlo\",x" << QStringList{"Monaco, Monte Carlo", "x"};
    QTest::newRow("doubled quote is one quote")
        << "\"Anna \"\"Flash\"\" Berg\"" << QStringList{"Anna \"Flash\" Berg"};
    QTest::newRow("empty quoted field") << "\"\",\"\"," << QStringList{"", "", ""};
    QTest::newRow("only a doubled quote") << "\"\"\"\"" << QStringList{"\""};
    QTest::newRow("unclosed quote runs to the end")
        << "Rennen: \"Preis, Nord" << QStringList{"Rennen:", "Preis, Nord"};
    QTest::newRow("unclosed quote keeps a final doubled quote")
        << "Rennen: \"abc\"\"" << QStringList{"Rennen:", "abc\""};
    QTest::newRow("unclosed quote at the very end") << "Rennen: \"" << QStringList{"Rennen:", ""};
    QTest::newRow("text after a closing quote starts a field") << "\"a\"b" << QStringList{"a", "b"};
    QTest::newRow("quote inside an unquoted field is kept") << "a\"b" << QStringList{"a\"b"};
    QTest::newRow("quoted distance with a decimal comma")
        << "Runden: 3, Länge: \"7,5\" Km" << QStringList{"Runden:", "3", "Länge:", "7,5", "Km"};
    QTest::newRow("unquoted distance splits at its comma")
        << "Runden: 3, Länge: 7,5 Km" << QStringList{"Runden:", "3", "Länge:", "7", "5", "Km"};
    QTest::newRow("NUL is not a blank")
        << QStringLiteral("a\0b") << QStringList{QStringLiteral("a\0b")};
}

void TestSplitFields::splits()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    QCOMPARE(SplitFields(line), fields);
}

void TestSplitFields::quotedFieldsComeBackWhole_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("plain") << QStringList{"a", "b"};
    QTest::newRow("empty values") << QStringList{"", "", ""};
    QTest::newRow("quotes everywhere") << QStringList{"\"", "\"\"", "a\"", "\"a", "x\"y\"z"};
    QTest::newRow("blanks and commas") << QStringList{" lead", "trail ", "a, b", "\t"};
    QTest::newRow("non-latin") << QStringList{"Łukasz", "Jörg Weiß"};
}

void TestSplitFields::quotedFieldsComeBackWhole()
{
    QFETCH(QStringList, fields);
    QStringList quoted;
    for (const QString &field : fields)
        quoted << QuotedField(field);
    QCOMPARE(SplitFields(quoted.join(u',')), fields);
    // With a trailing comma, as the result rows end, one empty field follows.
    QCOMPARE(SplitFields(quoted.join(u',') + u','), fields + QStringList{QString()});
}

QTEST_GUILESS_MAIN(TestSplitFields)
#include "tst_splitfields.moc"
