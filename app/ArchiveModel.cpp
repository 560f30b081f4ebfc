#include "ArchiveModel.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>

void TArchiveModel::SetRaces(const QList<TRaceSummary> &races)
{
    beginResetModel();
    FRaces = races;
    std::reverse(FRaces.begin(), FRaces.end());
    endResetModel();
}

const TRaceSummary *TArchiveModel::Race(int row) const
{
    return row >= 0 && row < FRaces.size() ? &FRaces[row] : nullptr;
}

int TArchiveModel::RowOf(qint64 raceId) const
{
    for (int row = 0; row < FRaces.size(); ++row) {
        if (FRaces[row].id == raceId)
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
    return parent.isValid() ? 0 : int(FRaces.size());
}

int TArchiveModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant TArchiveModel::data(const QModelIndex &index, int role) const
{
    const TRaceSummary *race = Race(index.row());
    if (!race || role != Qt::DisplayRole)
        return QVariant();
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
    default:
        return QVariant();
    }
}

QVariant TArchiveModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles = {QStringLiteral("Datum"),   QStringLiteral("Rennen"),
                                       QStringLiteral("Session"), QStringLiteral("Autos"),
                                       QStringLiteral("Runden"),  QStringLiteral("Sieger"),
                                       QStringLiteral("Zustand")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= titles.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return titles[section];
}
