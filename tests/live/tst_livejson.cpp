#include "LiveStandings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class TestLiveJson : public QObject
{
    Q_OBJECT
private slots:
    void everyFieldReachesTheJson();
    void markupInTextsStaysInertAndReadsBack();
    void raceDayHeatAndScheduleOnlyOnARaceDay();
};

void TestLiveJson::raceDayHeatAndScheduleOnlyOnARaceDay()
{
    TLiveStandings s;
    QJsonObject o = QJsonDocument::fromJson(ToJson(s)).object();
    // An ordinary race's snapshot is as it always was.
    QVERIFY(!o.contains("heat"));
    QVERIFY(!o.contains("schedule"));
    s.heat = QStringLiteral("Klasse A · Vorlauf 1 · Lauf 2");
    s.schedule = {{QStringLiteral("Klasse A · Vorlauf 1 · Lauf 1"), QStringLiteral("fertig")},
                  {s.heat, QStringLiteral("läuft")}};
    o = QJsonDocument::fromJson(ToJson(s)).object();
    QCOMPARE(o.value("heat").toString(), s.heat);
    const QJsonArray schedule = o.value("schedule").toArray();
    QCOMPARE(schedule.size(), 2);
    QCOMPARE(schedule[1].toObject().value("label").toString(), s.heat);
    QCOMPARE(schedule[1].toObject().value("state").toString(), QStringLiteral("läuft"));
}

void TestLiveJson::everyFieldReachesTheJson()
{
    TLiveStandings s;
    s.title = QStringLiteral("Großer Preis von Ödland");
    s.session = QStringLiteral("Rennen");
    s.clock = QStringLiteral("12:34");
    s.clockLabel = QStringLiteral("Restzeit");
    s.state = TLiveState::lsRunning;
    s.lapsToGo = 3;
    s.leaderLaps = 7;
    s.lastCar = 12;
    s.version = 4000000000LL; // beyond 32 bits: a long day of presses must not wrap
    TLiveRow first;
    first.position = 1;
    first.car = 12;
    first.startNumber = QStringLiteral("7");
    first.driver = QStringLiteral("Jürgen Weiß");
    first.laps = 7;
    first.lastLap = QStringLiteral("1:23.4");
    first.bestLap = QStringLiteral("1:22.0");
    first.gap = QStringLiteral("0:00.0");
    first.finished = true;
    TLiveRow second;
    second.car = 3;
    second.overdue = true;
    second.status = QStringLiteral("DNF");
    second.lapsBehind = 3;
    s.rows = {first, second};

    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(ToJson(s), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(o.value("title").toString(), s.title);
    QCOMPARE(o.value("session").toString(), s.session);
    QCOMPARE(o.value("clock").toString(), s.clock);
    QCOMPARE(o.value("clockLabel").toString(), s.clockLabel);
    QCOMPARE(o.value("state").toString(), QStringLiteral("running"));
    QCOMPARE(o.value("lapsToGo").toInt(), 3);
    QCOMPARE(o.value("leaderLaps").toInt(), 7);
    QCOMPARE(o.value("lastCar").toInt(), 12);
    QCOMPARE(o.value("version").toInteger(), 4000000000LL);
    const QJsonArray rows = o.value("rows").toArray();
    QCOMPARE(rows.size(), 2);
    const QJsonObject r0 = rows[0].toObject();
    QCOMPARE(r0.value("pos").toInt(), 1);
    QCOMPARE(r0.value("key").toString(), QStringLiteral("F12"));
    QCOMPARE(r0.value("number").toString(), QStringLiteral("7"));
    QCOMPARE(r0.value("driver").toString(), first.driver);
    QCOMPARE(r0.value("laps").toInt(), 7);
    QCOMPARE(r0.value("last").toString(), QStringLiteral("1:23.4"));
    QCOMPARE(r0.value("best").toString(), QStringLiteral("1:22.0"));
    QCOMPARE(r0.value("gap").toString(), QStringLiteral("0:00.0"));
    QCOMPARE(r0.value("finished").toBool(), true);
    QCOMPARE(r0.value("overdue").toBool(), false);
    QCOMPARE(r0.value("status").toString(), QString());
    QCOMPARE(r0.value("lapsBehind").toInt(), 0);
    const QJsonObject r1 = rows[1].toObject();
    QCOMPARE(r1.value("pos").toInt(), 0);
    QCOMPARE(r1.value("key").toString(), QStringLiteral("F3"));
    QCOMPARE(r1.value("overdue").toBool(), true);
    QCOMPARE(r1.value("status").toString(), QStringLiteral("DNF"));
    QCOMPARE(r1.value("lapsBehind").toInt(), 3);
    // Rows keep the standings order they were given in.
    QCOMPARE(r1.value("finished").toBool(), false);
}

void TestLiveJson::markupInTextsStaysInertAndReadsBack()
{
    const QString hostile = QStringLiteral("<script>alert(1)</script>&\"'\\ \u00e4\n");
    TLiveStandings s;
    s.title = hostile;
    TLiveRow row;
    row.car = 1;
    row.driver = hostile;
    row.startNumber = QStringLiteral("</td><td>");
    s.rows = {row};
    const QByteArray json = ToJson(s);
    QVERIFY(!json.contains('<'));
    QVERIFY(!json.contains('>'));
    QVERIFY(!json.contains('&'));
    QVERIFY(!json.contains('\n'));
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(json, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(o.value("title").toString(), hostile);
    const QJsonObject r = o.value("rows").toArray().at(0).toObject();
    QCOMPARE(r.value("driver").toString(), hostile);
    QCOMPARE(r.value("number").toString(), QStringLiteral("</td><td>"));
}

QTEST_GUILESS_MAIN(TestLiveJson)
#include "tst_livejson.moc"
