#pragma once

#include "RaceSummary.h"

#include <QAbstractTableModel>
#include <QList>

// A race of "Frühere Rennen": this journal's (station empty) or another station's on the club
// server.
struct TArchiveRow
{
    TRaceSummary race;
    QString station;
    QString stationLabel;
};

// The races of "Frühere Rennen" as rows, newest first. A row's texts are made when the view
// asks for them, so a journal of ten thousand races is listed without making each cell first.
class TArchiveModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    enum Column {
        colDate,
        colTitle,
        colSession,
        colCars,
        colLaps,
        colWinner,
        colState,
        colStation,
        kColumns
    };

    // races oldest first, as the journal lists them.
    void SetRaces(const QList<TRaceSummary> &races);
    // Other stations' races listed with this journal's, by their start; none: only this one's.
    void SetOtherRaces(const QList<TArchiveRow> &others);
    // The race of a row; null outside the list.
    const TRaceSummary *Race(int row) const;
    const TArchiveRow *Row(int row) const;
    // The row of a race of this journal; -1 when it is not listed.
    int RowOf(qint64 raceId) const;

    // The German word for a race's state, as the list shows it.
    static QString StateText(TRaceSummary::State state);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void list();

    QList<TArchiveRow> FOwn; // newest first
    QList<TArchiveRow> FOthers;
    QList<TArchiveRow> FRows; // newest first
};
