#include "AnnouncementText.h"
#include "NumberWords.h"

#include <QTest>

class TestNumberWords : public QObject
{
    Q_OBJECT
private slots:
    void numbers_data();
    void numbers();
    void lapTimes_data();
    void lapTimes();
    void announcements_data();
    void announcements();
};

void TestNumberWords::numbers_data()
{
    QTest::addColumn<qint64>("number");
    QTest::addColumn<QString>("words");
    QTest::newRow("0") << qint64(0) << "null";
    QTest::newRow("1 alone") << qint64(1) << "eins";
    QTest::newRow("7") << qint64(7) << "sieben";
    QTest::newRow("11") << qint64(11) << "elf";
    QTest::newRow("12") << qint64(12) << "zwölf";
    QTest::newRow("16") << qint64(16) << "sechzehn";
    QTest::newRow("17") << qint64(17) << "siebzehn";
    QTest::newRow("20") << qint64(20) << "zwanzig";
    QTest::newRow("21 ein-und") << qint64(21) << "einundzwanzig";
    QTest::newRow("30") << qint64(30) << "dreißig";
    QTest::newRow("58") << qint64(58) << "achtundfünfzig";
    QTest::newRow("67") << qint64(67) << "siebenundsechzig";
    QTest::newRow("99") << qint64(99) << "neunundneunzig";
    QTest::newRow("100") << qint64(100) << "hundert";
    QTest::newRow("101 ends in eins") << qint64(101) << "hunderteins";
    QTest::newRow("111") << qint64(111) << "hundertelf";
    QTest::newRow("121") << qint64(121) << "hunderteinundzwanzig";
    QTest::newRow("200") << qint64(200) << "zweihundert";
    QTest::newRow("999") << qint64(999) << "neunhundertneunundneunzig";
    QTest::newRow("1000") << qint64(1000) << "tausend";
    QTest::newRow("1001") << qint64(1001) << "tausendeins";
    QTest::newRow("1100") << qint64(1100) << "tausendhundert";
    QTest::newRow("2024") << qint64(2024) << "zweitausendvierundzwanzig";
    QTest::newRow("9999") << qint64(9999) << "neuntausendneunhundertneunundneunzig";
    QTest::newRow("21000 ein before tausend") << qint64(21000) << "einundzwanzigtausend";
    QTest::newRow("101101") << qint64(101101) << "hunderteintausendhunderteins";
    QTest::newRow("beyond words") << qint64(1000000) << "1000000";
    QTest::newRow("negative") << qint64(-3) << "minus drei";
}

void TestNumberWords::numbers()
{
    QFETCH(qint64, number);
    QFETCH(QString, words);
    QCOMPARE(NumberWords(number), words);
}

void TestNumberWords::lapTimes_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("words");
    QTest::newRow("minute and seconds") << qint64(83400) << "eins dreiundzwanzig Komma vier";
    QTest::newRow("rounded as the standings") << qint64(83456) << "eins dreiundzwanzig Komma fünf";
    QTest::newRow("hundredths cut before rounding") << qint64(59949) << "neunundfünfzig Komma neun";
    QTest::newRow("rounds up into the minute") << qint64(59960) << "eins null null Komma null";
    QTest::newRow("under a minute") << qint64(58200) << "achtundfünfzig Komma zwei";
    QTest::newRow("under ten seconds") << qint64(9050) << "neun Komma eins";
    QTest::newRow("seconds below ten after minutes")
        << qint64(125000) << "zwei null fünf Komma null";
    QTest::newRow("one second") << qint64(1000) << "eins Komma null";
    QTest::newRow("zero") << qint64(0) << "null Komma null";
    QTest::newRow("beyond an hour stays in minutes")
        << qint64(3723400) << "zweiundsechzig null drei Komma vier";
}

void TestNumberWords::lapTimes()
{
    QFETCH(qint64, ms);
    QFETCH(QString, words);
    QCOMPARE(LapTimeWords(ms), words);
}

void TestNumberWords::announcements_data()
{
    QTest::addColumn<QString>("startNumber");
    QTest::addColumn<int>("car");
    QTest::addColumn<int>("lap");
    QTest::addColumn<qint64>("lapMs");
    QTest::addColumn<bool>("lastLap");
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "7" << 3 << 5 << qint64(83400) << false << false
                           << "Startnummer sieben, Runde fünf, eins dreiundzwanzig Komma vier";
    QTest::newRow("first lap under a minute")
        << "21" << 1 << 1 << qint64(58249) << false << false
        << "Startnummer einundzwanzig, Runde eins, achtundfünfzig Komma zwei";
    QTest::newRow("spaces around the number")
        << " 101 " << 2 << 100 << qint64(61000) << false << false
        << "Startnummer hunderteins, Runde hundert, eins null eins Komma null";
    QTest::newRow("start number zero") << "0" << 4 << 2 << qint64(60000) << false << false
                                       << "Startnummer null, Runde zwei, eins null null Komma null";
    QTest::newRow("no start number") << "" << 3 << 5 << qint64(83400) << false << false
                                     << "Taste F3, Runde fünf, eins dreiundzwanzig Komma vier";
    QTest::newRow("letters in the number") << "12a" << 12 << 1000 << qint64(70000) << false << false
                                           << "Taste F12, Runde tausend, eins zehn Komma null";
    QTest::newRow("leading zero is not plain") << "07" << 5 << 3 << qint64(70000) << false << false
                                               << "Taste F5, Runde drei, eins zehn Komma null";
    QTest::newRow("leader starts the last lap")
        << "7" << 3 << 9 << qint64(83400) << true << false
        << "Startnummer sieben, Runde neun, eins dreiundzwanzig Komma vier, letzte Runde";
    QTest::newRow("finish") << "7" << 3 << 10 << qint64(82000) << false << true
                            << "Startnummer sieben, Runde zehn, eins zweiundzwanzig Komma null, "
                               "im Ziel";
}

void TestNumberWords::announcements()
{
    QFETCH(QString, startNumber);
    QFETCH(int, car);
    QFETCH(int, lap);
    QFETCH(qint64, lapMs);
    QFETCH(bool, lastLap);
    QFETCH(bool, finished);
    QFETCH(QString, text);
    TAnnouncedPress press;
    press.startNumber = startNumber;
    press.car = car;
    press.lap = lap;
    press.lapMs = lapMs;
    press.lastLapBegins = lastLap;
    press.finished = finished;
    QCOMPARE(AnnouncementText(press), text);
}

QTEST_GUILESS_MAIN(TestNumberWords)
#include "tst_numberwords.moc"
