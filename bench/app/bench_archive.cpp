// Lists an archive of 10,000 races in "Frühere Rennen" as Ctrl+R does: the journal's query, the
// list filled and the window shown and painted, headless. Three runs, each in a fresh main
// window (the first Ctrl+R of a session), and then the list filled again in the same window (as
// after a deletion). The races are a mix as a club's years give them: races and training runs
// of 2 to 12 cars, most finished, some stopped or interrupted, each with its START (settings
// and starters), a few presses and its end.
#include "ArchiveModel.h"
#include "ArchiveWindow.h"
#include "FormMain.h"
#include "RaceJournal.h"
#include "RaceSetup.h"
#include "TickCounter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kRaces = 10000;
constexpr int kPressesPerRace = 8;
constexpr int kRuns = 3;
constexpr qint64 kFirstStartMs = 1'700'000'000'000;
constexpr qint64 kDayMs = 86'400'000;

// Straight into the file in one transaction: through the journal each event would be synced on
// its own, which takes minutes for an archive of this size.
bool writeArchive(const QString &path)
{
    {
        TRaceJournal journal; // makes the file with the current tables
        if (!journal.open(path))
            return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
    db.setDatabaseName(path);
    bool ok = db.open();
    {
        QSqlQuery query(db);
        QSqlQuery race(db);
        QSqlQuery event(db);
        ok = ok && query.exec(QStringLiteral("BEGIN"));
        race.prepare(QStringLiteral("INSERT INTO races (id, started_ms, title, session, cars, "
                                    "laps, state, winner, boot_id) VALUES (?, ?, ?, ?, ?, ?, ?, "
                                    "?, 'bench')"));
        event.prepare(QStringLiteral("INSERT INTO events (race_id, seq, kind, tick, wall_ms, "
                                     "car, payload) VALUES (?, ?, ?, ?, ?, ?, ?)"));
        QRandomGenerator random(24);
        const QStringList titles = {
            QStringLiteral("Vereinsmeisterschaft Lauf"),
            QStringLiteral("Großer Preis von Talvenbahn"), QStringLiteral("Freies Training"),
            QStringLiteral("Nachtrennen Öhringen"), QStringLiteral("Clubabend")};
        const QStringList states = {QStringLiteral("finished"), QStringLiteral("finished"),
                                    QStringLiteral("finished"), QStringLiteral("stopped"),
                                    QStringLiteral("interrupted")};
        for (int id = 1; ok && id <= kRaces; ++id) {
            const int cars = 2 + int(random.bounded(11));
            const bool training = random.bounded(4) == 0;
            TRaceSetup setup;
            setup.title =
                QStringLiteral("%1 %2").arg(titles[int(random.bounded(titles.size()))]).arg(id);
            setup.session = training ? QStringLiteral("Training") : QStringLiteral("Rennen");
            setup.cars = cars;
            setup.laps = 5 + int(random.bounded(60));
            setup.lapLengthKm = 1.2;
            setup.raceSeconds = 1800;
            for (int car = 1; car <= cars; ++car)
                setup.starters.append({QString::number(car * 3),
                                       QStringLiteral("Fahrerin %1 Müller-Lüdenscheidt").arg(car)});
            const qint64 startMs = kFirstStartMs + qint64(id) * kDayMs / 7;
            const TRaceEvent start = setup.StartEvent(1000, startMs);
            const QString state = states[int(random.bounded(states.size()))];
            const QString winner = state == u"finished"
                                       ? QStringLiteral("Fahrerin %1 Müller-Lüdenscheidt")
                                             .arg(1 + random.bounded(cars))
                                       : QString(QStringLiteral(""));
            for (const QVariant &value : QVariantList{id, startMs, setup.title, setup.session, cars,
                                                      setup.laps, state, winner})
                race.addBindValue(value);
            ok = race.exec();
            const auto addEvent = [&](int seq, const QString &kind, int car,
                                      const QVariant &payload) {
                for (const QVariant &value : QVariantList{id, seq, kind, 1000 + seq * 40000,
                                                          startMs + seq * 40000, car, payload})
                    event.addBindValue(value);
                return event.exec();
            };
            ok = ok && addEvent(1, QStringLiteral("start"), 0,
                                QString::fromUtf8(
                                    QJsonDocument(start.payload).toJson(QJsonDocument::Compact)));
            for (int n = 0; ok && n < kPressesPerRace; ++n)
                ok = addEvent(2 + n, QStringLiteral("press"), 1 + n % cars, QVariant());
            if (state != u"interrupted")
                ok = ok &&
                     addEvent(2 + kPressesPerRace,
                              state == u"finished" ? QStringLiteral("end") : QStringLiteral("stop"),
                              0, QVariant());
        }
        ok = ok && query.exec(QStringLiteral("COMMIT"));
        if (!ok)
            std::printf("  filling the archive failed: %s\n",
                        qPrintable(db.lastError().text() + race.lastError().text() +
                                   event.lastError().text()));
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("journal.sqlite"));
    if (!writeArchive(path))
        return 1;
    TSystemTickCounter ticks;
    std::printf("\"Frühere Rennen\" listing %d races (goal < 200 ms)\n", kRaces);
    for (int run = 1; run <= kRuns; ++run) {
        TFormMain window(ticks, folder.filePath(QStringLiteral("Talvenbahn.ini")), path);
        window.show();
        QApplication::processEvents();

        QElapsedTimer timer;
        timer.start();
        const QList<TRaceSummary> races = window.Journal->races();
        const double query = msSince(timer);

        timer.restart();
        window.ShowArchive(nullptr);
        auto *archive = window.findChild<TArchiveWindow *>();
        const double shown = msSince(timer);
        // The list is painted when the window handles its paint request.
        QApplication::processEvents();
        const double painted = msSince(timer);

        timer.restart();
        archive->SetRaces(window.Journal->races());
        QApplication::processEvents();
        const double again = msSince(timer);
        std::printf("  run %d: journal query %.0f ms; Ctrl+R to the list shown %.0f ms, painted "
                    "%.0f ms (%d rows); filled again %.0f ms\n",
                    run, query, shown, painted, archive ? archive->Model->rowCount() : 0, again);
        if (races.size() != kRaces)
            std::printf("  the journal lists %d races\n", int(races.size()));
    }
    return 0;
}
