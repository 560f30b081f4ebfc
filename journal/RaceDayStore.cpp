#include "RaceDayStore.h"

#include "JournalMessages.h"
#include "JournalReader.h"
#include "JournalSchema.h"
#include "RaceDayRules.h"
#include "SqlConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
// The journal's writer holds the file only for one event at a time.
constexpr int kBusyWaitMs = 5000;
// One key per driver.
constexpr int kMostInHeat = 12;

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

// Qt binds a null string as NULL; the text columns want an empty text instead.
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

QVariant idOrNull(qint64 id)
{
    return id > 0 ? QVariant(id) : QVariant(QMetaType(QMetaType::LongLong));
}

// What keeps a plan from being stored as it is; empty when nothing does.
QString planProblem(const TRaceDay &day)
{
    QSet<int> entrants;
    for (const TEntrant &e : day.entrants) {
        if (e.id <= 0 || entrants.contains(e.id))
            return QStringLiteral("der Fahrer „%1“ hat keine eindeutige Kennung").arg(e.driver);
        entrants.insert(e.id);
    }
    QSet<int> rounds;
    QSet<int> heats;
    for (const TRound &r : day.rounds) {
        if (r.id <= 0 || rounds.contains(r.id))
            return QStringLiteral("eine Runde hat keine eindeutige Kennung");
        rounds.insert(r.id);
        for (const THeat &h : r.heats) {
            if (h.id <= 0 || heats.contains(h.id))
                return QStringLiteral("ein Lauf hat keine eindeutige Kennung");
            heats.insert(h.id);
            if (h.entrantIds.size() > kMostInHeat)
                return QStringLiteral("ein Lauf hat mehr als %1 Fahrer").arg(kMostInHeat);
            for (int id : h.entrantIds) {
                if (!entrants.contains(id))
                    return QStringLiteral("ein Lauf nennt einen Fahrer, der nicht gemeldet ist");
            }
        }
    }
    return {};
}

QString dayName(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("Die Veranstaltung")
                          : QStringLiteral("Die Veranstaltung „%1“").arg(name);
}

QString seasonName(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("Die Meisterschaft")
                          : QStringLiteral("Die Meisterschaft „%1“").arg(name);
}
} // namespace

TRaceDayStore::TRaceDayStore(const QString &journalPath) : m_path(journalPath)
{
    const QString shown = QDir::toNativeSeparators(journalPath);
    const auto cannotOpen = [&](const QString &reason) {
        m_error = QStringLiteral("Veranstaltungen und Meisterschaften können nicht gelesen "
                                 "werden: das Rennprotokoll „%1“ lässt sich nicht öffnen (%2).")
                      .arg(shown, reason);
        m_connection.reset();
    };
    if (journalPath.isEmpty() || QFileInfo(journalPath).isDir()) {
        cannotOpen(QStringLiteral("es ist keine Datei"));
        return;
    }
    m_connection = std::make_unique<TSqlConnection>(journalPath, kBusyWaitMs);
    if (!m_connection->isOpen()) {
        cannotOpen(JournalMessages::reason(m_connection->db().lastError()));
        return;
    }
    QSqlError error;
    // Removing a day or a season takes what hangs on it along (see the schema).
    if (!m_connection->exec(QStringLiteral("PRAGMA foreign_keys = ON"), &error)) {
        cannotOpen(JournalMessages::reason(error));
        return;
    }
    const int version = JournalSchema::version(m_connection->db(), &error);
    if (version < 0) {
        cannotOpen(JournalMessages::reason(error));
        return;
    }
    if (version > JournalSchema::kVersion) {
        cannotOpen(QStringLiteral("es stammt von einer neueren Programmversion"));
        return;
    }
    if (version < JournalSchema::kVersion && !JournalSchema::upgrade(m_connection->db(), &error))
        cannotOpen(JournalMessages::reason(error));
}

TRaceDayStore::~TRaceDayStore() = default;

bool TRaceDayStore::isOpen() const
{
    return m_connection != nullptr;
}

bool TRaceDayStore::ready()
{
    m_error.clear();
    if (!m_connection)
        m_error = QStringLiteral("Das Rennprotokoll ist nicht geöffnet.");
    return m_connection != nullptr;
}

bool TRaceDayStore::failed(const QSqlQuery &query, const QString &what)
{
    m_error = QStringLiteral("%1: %2.").arg(what, JournalMessages::reason(query.lastError()));
    return false;
}

bool TRaceDayStore::refuse(const QString &message)
{
    m_error = message;
    return false;
}

bool TRaceDayStore::begin()
{
    QSqlQuery query(m_connection->db());
    // IMMEDIATE: the write lock is taken (or waited for) before anything is changed.
    return query.exec(QStringLiteral("BEGIN IMMEDIATE")) ||
           failed(query, QStringLiteral("Das Rennprotokoll lässt sich nicht beschreiben"));
}

bool TRaceDayStore::commit()
{
    QSqlQuery query(m_connection->db());
    if (query.exec(QStringLiteral("COMMIT")))
        return true;
    failed(query, QStringLiteral("Das Rennprotokoll lässt sich nicht beschreiben"));
    query.exec(QStringLiteral("ROLLBACK"));
    return false;
}

// ---- days ------------------------------------------------------------------------------

QList<TRaceDay> TRaceDayStore::days()
{
    return loadDays(std::nullopt);
}

std::optional<TRaceDay> TRaceDayStore::day(qint64 id)
{
    const QList<TRaceDay> found = loadDays(id);
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}

QList<TRaceDay> TRaceDayStore::loadDays(std::optional<qint64> only)
{
    if (!ready())
        return {};
    const QString cannotRead = QStringLiteral("Die Veranstaltungen lassen sich nicht lesen");
    // One query per table, not one per day.
    const auto select = [&](QSqlQuery &query, const QString &statement, const QString &dayColumn,
                            const QString &tail) {
        query.setForwardOnly(true);
        query.prepare(
            statement +
            (only ? QStringLiteral(" WHERE %1 = ? ").arg(dayColumn) : QStringLiteral(" ")) + tail);
        if (only)
            query.addBindValue(*only);
        return query.exec() || failed(query, cannotRead);
    };

    QList<TRaceDay> days;
    QHash<qint64, qsizetype> index; // day id -> position in days
    QSqlQuery query(m_connection->db());
    if (!select(query,
                QStringLiteral("SELECT id, name, date, season_id, class_rules, points_rules, "
                               "origin FROM race_days"),
                QStringLiteral("id"), QStringLiteral("ORDER BY date DESC, id DESC")))
        return {};
    while (query.next()) {
        TRaceDay day;
        day.id = query.value(0).toLongLong();
        day.name = query.value(1).toString();
        day.date = QDate::fromString(query.value(2).toString(), kDateFormat);
        day.seasonId = query.value(3).toLongLong();
        day.rules = RaceDayRules::classRulesFromJson(query.value(4).toString());
        day.points = RaceDayRules::pointsRulesFromJson(query.value(5).toString());
        day.origin = query.value(6).toString();
        index.insert(day.id, days.size());
        days.append(std::move(day));
    }
    if (days.isEmpty())
        return {};

    if (!select(query,
                QStringLiteral("SELECT day_id, id, number, driver, class, absent "
                               "FROM day_entrants"),
                QStringLiteral("day_id"), QStringLiteral("ORDER BY day_id, list_order")))
        return {};
    while (query.next()) {
        const auto at = index.constFind(query.value(0).toLongLong());
        if (at == index.cend())
            continue;
        TEntrant e;
        e.id = query.value(1).toInt();
        e.number = query.value(2).toString();
        e.driver = query.value(3).toString();
        e.className = query.value(4).toString();
        e.absent = query.value(5).toBool();
        days[*at].entrants.append(std::move(e));
    }

    // Rounds by (day, round id) -> position within the day's rounds.
    QHash<std::pair<qint64, int>, qsizetype> roundAt;
    if (!select(query, QStringLiteral("SELECT day_id, id, class, kind, number FROM day_rounds"),
                QStringLiteral("day_id"), QStringLiteral("ORDER BY day_id, round_order")))
        return {};
    while (query.next()) {
        const qint64 dayId = query.value(0).toLongLong();
        const auto at = index.constFind(dayId);
        if (at == index.cend())
            continue;
        TRound r;
        r.id = query.value(1).toInt();
        r.className = query.value(2).toString();
        r.kind = RaceDayRules::kindFromName(query.value(3).toString());
        r.number = query.value(4).toInt();
        roundAt.insert({dayId, r.id}, days[*at].rounds.size());
        days[*at].rounds.append(std::move(r));
    }

    if (!select(query,
                QStringLiteral("SELECT day_id, round_id, id, entrants, seeded FROM day_heats"),
                QStringLiteral("day_id"), QStringLiteral("ORDER BY day_id, round_id, heat_order")))
        return {};
    while (query.next()) {
        const qint64 dayId = query.value(0).toLongLong();
        const auto at = index.constFind(dayId);
        const auto round = roundAt.constFind({dayId, query.value(1).toInt()});
        if (at == index.cend() || round == roundAt.cend())
            continue;
        THeat h;
        h.id = query.value(2).toInt();
        h.entrantIds = RaceDayRules::idsFromJson(query.value(3).toString());
        if (!query.isNull(4))
            days[*at].seeded.insert(h.id, RaceDayRules::idsFromJson(query.value(4).toString()));
        days[*at].rounds[*round].heats.append(std::move(h));
    }

    // A heat's race: the latest started of the races whose START names the heat; a deleted
    // race has no row in races any more.
    if (!select(query,
                QStringLiteral("SELECT h.day_id, h.heat_id, MAX(h.race_id) FROM race_heats h "
                               "JOIN races r ON r.id = h.race_id"),
                QStringLiteral("h.day_id"), QStringLiteral("GROUP BY h.day_id, h.heat_id")))
        return {};
    while (query.next()) {
        const auto at = index.constFind(query.value(0).toLongLong());
        if (at == index.cend())
            continue;
        const int heatId = query.value(1).toInt();
        for (TRound &r : days[*at].rounds) {
            for (THeat &h : r.heats) {
                if (h.id == heatId)
                    h.raceId = query.value(2).toLongLong();
            }
        }
    }
    return days;
}

bool TRaceDayStore::saveDay(TRaceDay &day)
{
    if (!ready())
        return false;
    if (const QString problem = planProblem(day); !problem.isEmpty())
        return refuse(
            QStringLiteral("%1 lässt sich nicht speichern: %2.").arg(dayName(day.name), problem));
    if (!begin())
        return false;
    QSqlQuery query(m_connection->db());
    const QString cannotSave =
        QStringLiteral("%1 lässt sich nicht speichern").arg(dayName(day.name));
    const auto abandon = [&](bool result) {
        query.exec(QStringLiteral("ROLLBACK"));
        return result;
    };

    if (day.seasonId > 0) {
        query.prepare(QStringLiteral("SELECT 1 FROM seasons WHERE id = ?"));
        query.addBindValue(day.seasonId);
        if (!query.exec())
            return abandon(failed(query, cannotSave));
        if (!query.next())
            return abandon(refuse(QStringLiteral("%1 lässt sich nicht speichern: ihre "
                                                 "Meisterschaft gibt es nicht mehr.")
                                      .arg(dayName(day.name))));
    }

    // A day removed meanwhile comes back under its own id, and so with its heats' races.
    qint64 id = day.id;
    query.prepare(id > 0 ? QStringLiteral("INSERT OR IGNORE INTO race_days (id, name, date, "
                                          "season_id, class_rules, points_rules, origin) "
                                          "VALUES (?, ?, ?, ?, ?, ?, ?)")
                         : QStringLiteral("INSERT INTO race_days (name, date, season_id, "
                                          "class_rules, points_rules, origin) "
                                          "VALUES (?, ?, ?, ?, ?, ?)"));
    if (id > 0)
        query.addBindValue(id);
    const QVariantList values{text(day.name),
                              text(day.date.toString(kDateFormat)),
                              idOrNull(day.seasonId),
                              RaceDayRules::toJson(day.rules),
                              RaceDayRules::toJson(day.points),
                              text(day.origin)};
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        return abandon(failed(query, cannotSave));
    if (id <= 0)
        id = query.lastInsertId().toLongLong();

    query.prepare(QStringLiteral("UPDATE race_days SET name = ?, date = ?, season_id = ?, "
                                 "class_rules = ?, points_rules = ?, origin = ? WHERE id = ?"));
    for (const QVariant &value : values)
        query.addBindValue(value);
    query.addBindValue(id);
    if (!query.exec())
        return abandon(failed(query, cannotSave));

    if (!writeDay(day, id))
        return abandon(false);
    if (!commit())
        return false;
    day.id = id;
    return true;
}

// The day's plan anew: what was stored of it goes first.
bool TRaceDayStore::writeDay(const TRaceDay &day, qint64 id)
{
    const QString cannotSave =
        QStringLiteral("%1 lässt sich nicht speichern").arg(dayName(day.name));
    QSqlQuery query(m_connection->db());
    for (const QString &table : {QStringLiteral("day_heats"), QStringLiteral("day_rounds"),
                                 QStringLiteral("day_entrants")}) {
        query.prepare(QStringLiteral("DELETE FROM %1 WHERE day_id = ?").arg(table));
        query.addBindValue(id);
        if (!query.exec())
            return failed(query, cannotSave);
    }

    query.prepare(QStringLiteral("INSERT INTO day_entrants (day_id, id, list_order, number, "
                                 "driver, class, absent) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    for (qsizetype i = 0; i < day.entrants.size(); ++i) {
        const TEntrant &e = day.entrants.at(i);
        for (const QVariant &value :
             QVariantList{id, e.id, qint64(i), text(e.number), text(e.driver), text(e.className),
                          e.absent ? 1 : 0})
            query.addBindValue(value);
        if (!query.exec())
            return failed(query, cannotSave);
    }

    QSqlQuery heats(m_connection->db());
    query.prepare(QStringLiteral("INSERT INTO day_rounds (day_id, id, round_order, class, "
                                 "kind, number) VALUES (?, ?, ?, ?, ?, ?)"));
    heats.prepare(QStringLiteral("INSERT INTO day_heats (day_id, id, round_id, heat_order, "
                                 "entrants, seeded) VALUES (?, ?, ?, ?, ?, ?)"));
    for (qsizetype i = 0; i < day.rounds.size(); ++i) {
        const TRound &r = day.rounds.at(i);
        for (const QVariant &value : QVariantList{id, r.id, qint64(i), text(r.className),
                                                  RaceDayRules::kindName(r.kind), r.number})
            query.addBindValue(value);
        if (!query.exec())
            return failed(query, cannotSave);
        for (qsizetype j = 0; j < r.heats.size(); ++j) {
            const THeat &h = r.heats.at(j);
            const auto seeded = day.seeded.constFind(h.id);
            for (const QVariant &value : QVariantList{
                     id, h.id, r.id, qint64(j), RaceDayRules::idsToJson(h.entrantIds),
                     seeded == day.seeded.cend() ? QVariant(QMetaType(QMetaType::QString))
                                                 : QVariant(RaceDayRules::idsToJson(*seeded))})
                heats.addBindValue(value);
            if (!heats.exec())
                return failed(heats, cannotSave);
        }
    }
    return true;
}

bool TRaceDayStore::removeDay(qint64 id)
{
    if (!ready())
        return false;
    if (!begin())
        return false;
    QSqlQuery query(m_connection->db());
    for (const QString &statement : {QStringLiteral("DELETE FROM day_heats WHERE day_id = ?"),
                                     QStringLiteral("DELETE FROM day_rounds WHERE day_id = ?"),
                                     QStringLiteral("DELETE FROM day_entrants WHERE day_id = ?"),
                                     QStringLiteral("DELETE FROM race_days WHERE id = ?")}) {
        query.prepare(statement);
        query.addBindValue(id);
        if (!query.exec()) {
            failed(query, QStringLiteral("Die Veranstaltung lässt sich nicht löschen"));
            query.exec(QStringLiteral("ROLLBACK"));
            return false;
        }
    }
    return commit();
}

// ---- seasons ---------------------------------------------------------------------------

QList<TSeason> TRaceDayStore::seasons()
{
    if (!ready())
        return {};
    const QString cannotRead = QStringLiteral("Die Meisterschaften lassen sich nicht lesen");
    QList<TSeason> seasons;
    QHash<qint64, qsizetype> index;
    QSqlQuery query(m_connection->db());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT id, name, best_of FROM seasons ORDER BY id DESC"))) {
        failed(query, cannotRead);
        return {};
    }
    while (query.next()) {
        TSeason season;
        season.id = query.value(0).toLongLong();
        season.name = query.value(1).toString();
        season.bestOf = query.value(2).toInt();
        index.insert(season.id, seasons.size());
        seasons.append(std::move(season));
    }
    if (!query.exec(QStringLiteral("SELECT season_id, from_number, from_driver, to_number, "
                                   "to_driver FROM season_joins ORDER BY season_id, join_order"))) {
        failed(query, cannotRead);
        return {};
    }
    while (query.next()) {
        const auto at = index.constFind(query.value(0).toLongLong());
        if (at == index.cend())
            continue;
        TSeasonJoin join;
        join.from = {query.value(1).toString(), query.value(2).toString()};
        join.to = {query.value(3).toString(), query.value(4).toString()};
        seasons[*at].joins.append(std::move(join));
    }
    return seasons;
}

bool TRaceDayStore::saveSeason(TSeason &season)
{
    if (!ready())
        return false;
    if (season.bestOf < 0)
        return refuse(QStringLiteral("%1 lässt sich nicht speichern: die Zahl der Tage, die "
                                     "zählen, darf nicht negativ sein.")
                          .arg(seasonName(season.name)));
    if (!begin())
        return false;
    QSqlQuery query(m_connection->db());
    const auto abandon = [&] {
        query.exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    const QString cannotSave =
        QStringLiteral("%1 lässt sich nicht speichern").arg(seasonName(season.name));
    // Not REPLACE: deleting the row would take its days out of the season.
    qint64 id = season.id;
    query.prepare(id > 0 ? QStringLiteral("INSERT OR IGNORE INTO seasons (id, name, best_of) "
                                          "VALUES (?, ?, ?)")
                         : QStringLiteral("INSERT INTO seasons (name, best_of) VALUES (?, ?)"));
    if (id > 0)
        query.addBindValue(id);
    query.addBindValue(text(season.name));
    query.addBindValue(season.bestOf);
    if (!query.exec()) {
        failed(query, cannotSave);
        return abandon();
    }
    if (id <= 0)
        id = query.lastInsertId().toLongLong();
    query.prepare(QStringLiteral("UPDATE seasons SET name = ?, best_of = ? WHERE id = ?"));
    query.addBindValue(text(season.name));
    query.addBindValue(season.bestOf);
    query.addBindValue(id);
    if (!query.exec()) {
        failed(query, cannotSave);
        return abandon();
    }
    if (!writeSeason(season, id))
        return abandon();
    if (!commit())
        return false;
    season.id = id;
    return true;
}

bool TRaceDayStore::writeSeason(const TSeason &season, qint64 id)
{
    const QString cannotSave =
        QStringLiteral("%1 lässt sich nicht speichern").arg(seasonName(season.name));
    QSqlQuery query(m_connection->db());
    query.prepare(QStringLiteral("DELETE FROM season_joins WHERE season_id = ?"));
    query.addBindValue(id);
    if (!query.exec())
        return failed(query, cannotSave);
    query.prepare(QStringLiteral("INSERT INTO season_joins (season_id, join_order, from_number, "
                                 "from_driver, to_number, to_driver) VALUES (?, ?, ?, ?, ?, ?)"));
    for (qsizetype i = 0; i < season.joins.size(); ++i) {
        const TSeasonJoin &join = season.joins.at(i);
        for (const QVariant &value :
             QVariantList{id, qint64(i), text(join.from.number), text(join.from.driver),
                          text(join.to.number), text(join.to.driver)})
            query.addBindValue(value);
        if (!query.exec())
            return failed(query, cannotSave);
    }
    return true;
}

bool TRaceDayStore::removeSeason(qint64 id)
{
    if (!ready())
        return false;
    if (!begin())
        return false;
    QSqlQuery query(m_connection->db());
    for (const QString &statement :
         {QStringLiteral("UPDATE race_days SET season_id = NULL WHERE season_id = ?"),
          QStringLiteral("DELETE FROM season_joins WHERE season_id = ?"),
          QStringLiteral("DELETE FROM seasons WHERE id = ?")}) {
        query.prepare(statement);
        query.addBindValue(id);
        if (!query.exec()) {
            failed(query, QStringLiteral("Die Meisterschaft lässt sich nicht löschen"));
            query.exec(QStringLiteral("ROLLBACK"));
            return false;
        }
    }
    return commit();
}

// ---- races -----------------------------------------------------------------------------

QString TRaceDayStore::stationId()
{
    if (!ready())
        return {};
    QSqlQuery query(m_connection->db());
    if (!query.exec(QStringLiteral("SELECT value FROM journal_meta WHERE key = 'station'"))) {
        failed(query, QStringLiteral("Die Kennung dieser Station lässt sich nicht lesen"));
        return {};
    }
    return query.next() ? query.value(0).toString() : QString();
}

QList<THeatChoice> TRaceDayStore::heatChoices(const QString &dayKey)
{
    if (!ready())
        return {};
    QSqlQuery query(m_connection->db());
    query.prepare(QStringLiteral("SELECT heat_id, station, race_id FROM heat_choices "
                                 "WHERE day_key = ? ORDER BY heat_id"));
    query.addBindValue(dayKey);
    if (!query.exec()) {
        failed(query,
               QStringLiteral("Die Wahl der doppelt gezeiteten Läufe lässt sich nicht lesen"));
        return {};
    }
    QList<THeatChoice> choices;
    while (query.next())
        choices.append(
            {query.value(0).toInt(), query.value(1).toString(), query.value(2).toLongLong()});
    return choices;
}

bool TRaceDayStore::chooseHeatRace(const QString &dayKey, const THeatChoice &choice)
{
    if (!ready())
        return false;
    QSqlQuery query(m_connection->db());
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO heat_choices (day_key, heat_id, station, "
                                 "race_id) VALUES (?, ?, ?, ?)"));
    for (const QVariant &value :
         QVariantList{text(dayKey), choice.heatId, text(choice.station), choice.raceId})
        query.addBindValue(value);
    return query.exec() ||
           failed(query, QStringLiteral("Die Wahl des Laufs lässt sich nicht speichern"));
}

QList<TRaceEvent> TRaceDayStore::raceEvents(qint64 raceId)
{
    if (!ready())
        return {};
    TJournalReader reader(m_connection->db());
    QList<TRaceEvent> events = reader.events(raceId);
    if (!reader.errorString().isEmpty())
        m_error = QStringLiteral("Das Rennen eines Laufs lässt sich nicht lesen: %1.")
                      .arg(reader.errorString());
    return events;
}
