#include "ArchiveModel.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>

void TArchiveModel::SetRaces(const QList<TRaceSummary> &races)
{
    FOwn.clear();
    FOwn.reserve(races.size());
    for (auto it = races.crbegin(); it != races.crend(); ++it)
        FOwn.append({*it, QString(), QString()});
    list();
}

void TArchiveModel::SetOtherRaces(const QList<TArchiveRow> &others)
{
    if (FOthers.isEmpty() && others.isEmpty())
        return;
    FOthers = others;
    list();
}

void TArchiveModel::list()
{
    beginResetModel();
    FRows = FOwn;
    if (!FOthers.isEmpty()) {
        FRows.append(FOthers);
        std::stable_sort(FRows.begin(), FRows.end(),
                         [](const TArchiveRow &a, const TArchiveRow &b) {
                             return a.race.startedWallMs > b.race.startedWallMs;
                         });
    }
    endResetModel();
}

const TRaceSummary *TArchiveModel::Race(int row) const
{
    const TArchiveRow *found = Row(row);
    return found ? &found->race : nullptr;
}

const TArchiveRow *TArchiveModel::Row(int row) const
{
    return row >= 0 && row < FRows.size() ? &FRows[row] : nullptr;
}

int TArchiveModel::RowOf(qint64 raceId) const
{
    for (int row = 0; row < FRows.size(); ++row) {
        if (FRows[row].station.isEmpty() && FRows[row].race.id == raceId)
            return row;
    }
    return -1;
}

QString TArchiveModel::StateText(TRaceSummary::State state)
{
    switch (state) {
    case TRaceSummary::State::Running:
        return QStringLiteral("läuft");
    case TRaceSummary::State::Stopped:
        return QStringLiteral("gestoppt");
    case TRaceSummary::State::Finished:
        return QStringLiteral("beendet");
    case TRaceSummary::State::Interrupted:
        return QStringLiteral("unterbrochen");
    }
    return QString();
}

int TArchiveModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(FRows.size());
}

int TArchiveModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant TArchiveModel::data(const QModelIndex &index, int role) const
{
    const TArchiveRow *row = Row(index.row());
    if (!row || role != Qt::DisplayRole)
        return QVariant();
    const TRaceSummary *race = &row->race;
    switch (index.column()) {
    case colDate:
        return QLocale().toString(QDateTime::fromMSecsSinceEpoch(race->startedWallMs),
                                  QLocale::ShortFormat);
    case colTitle:
        return race->title;
    case colSession:
        return race->session;
    case colCars:
        return QString::number(race->cars);
    case colLaps:
        return QString::number(race->laps);
    case colWinner:
        return race->winner;
    case colState:
        return StateText(race->state);
    case colStation:
        return row->station.isEmpty()        ? QStringLiteral("diese Station")
               : row->stationLabel.isEmpty() ? row->station.left(8)
                                             : row->stationLabel;
    default:
        return QVariant();
    }
}

QVariant TArchiveModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles = {QStringLiteral("Datum"),   QStringLiteral("Rennen"),
                                       QStringLiteral("Session"), QStringLiteral("Autos"),
                                       QStringLiteral("Runden"),  QStringLiteral("Sieger"),
                                       QStringLiteral("Zustand"), QStringLiteral("Station")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= titles.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return titles[section];
}
