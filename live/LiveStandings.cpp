#include "LiveStandings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject rowObject(const TLiveRow &row)
{
    QJsonObject o;
    o[QStringLiteral("pos")] = row.position;
    o[QStringLiteral("key")] = QStringLiteral("F%1").arg(row.car);
    o[QStringLiteral("number")] = row.startNumber;
    o[QStringLiteral("driver")] = row.driver;
    o[QStringLiteral("laps")] = row.laps;
    o[QStringLiteral("last")] = row.lastLap;
    o[QStringLiteral("best")] = row.bestLap;
    o[QStringLiteral("gap")] = row.gap;
    o[QStringLiteral("finished")] = row.finished;
    o[QStringLiteral("overdue")] = row.overdue;
    o[QStringLiteral("status")] = row.status;
    o[QStringLiteral("lapsBehind")] = row.lapsBehind;
    return o;
}

// Outside strings JSON has none of these characters, so replacing bytes keeps the document valid.
QByteArray escapeMarkup(QByteArray json)
{
    if (!json.contains('<') && !json.contains('>') && !json.contains('&'))
        return json;
    QByteArray out;
    out.reserve(json.size() + 32);
    for (char c : json) {
        switch (c) {
        case '<':
            out += "\\u003c";
            break;
        case '>':
            out += "\\u003e";
            break;
        case '&':
            out += "\\u0026";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

QString LiveStateName(TLiveState state)
{
    switch (state) {
    case TLiveState::lsRunning:
        return QStringLiteral("running");
    case TLiveState::lsStopped:
        return QStringLiteral("stopped");
    case TLiveState::lsEnded:
        return QStringLiteral("ended");
    case TLiveState::lsReady:
        break;
    }
    return QStringLiteral("ready");
}

QByteArray ToJson(const TLiveStandings &standings)
{
    QJsonArray rows;
    for (const TLiveRow &row : standings.rows)
        rows.append(rowObject(row));
    QJsonObject o;
    o[QStringLiteral("version")] = standings.version;
    o[QStringLiteral("title")] = standings.title;
    o[QStringLiteral("session")] = standings.session;
    o[QStringLiteral("clock")] = standings.clock;
    o[QStringLiteral("clockLabel")] = standings.clockLabel;
    o[QStringLiteral("state")] = LiveStateName(standings.state);
    o[QStringLiteral("lapsToGo")] = standings.lapsToGo;
    o[QStringLiteral("leaderLaps")] = standings.leaderLaps;
    o[QStringLiteral("lastCar")] = standings.lastCar;
    o[QStringLiteral("rows")] = rows;
    // Only on a race day, so an ordinary race's snapshot stays as it was.
    if (!standings.heat.isEmpty())
        o[QStringLiteral("heat")] = standings.heat;
    if (!standings.schedule.isEmpty()) {
        QJsonArray schedule;
        for (const TLiveHeat &heat : standings.schedule)
            schedule.append(QJsonObject{{QStringLiteral("label"), heat.label},
                                        {QStringLiteral("state"), heat.state}});
        o[QStringLiteral("schedule")] = schedule;
    }
    return escapeMarkup(QJsonDocument(o).toJson(QJsonDocument::Compact));
}
