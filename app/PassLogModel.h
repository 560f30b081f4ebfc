#pragma once

#include "RaceCorrections.h"

#include <QAbstractTableModel>

#include <functional>

// Every crossing of the race as the pass log lists it, the latest race time on top: time of day,
// race time, key, start number, driver, lap, lap time and what happened to it. It keeps only the
// crossings' ids and reads them from the corrections at paint time, so a press costs one row
// inserted at the top and a correction one reset.
class TPassLogModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        colWall,
        colRace,
        colKey,
        colNr,
        colDriver,
        colLap,
        colLapTime,
        colNote,
        kColumns
    };
    // The crossing id of a row (Qt::UserRole).
    static constexpr int kIdRole = Qt::UserRole;

    explicit TPassLogModel(const TRaceCorrections &corrections, QObject *parent = nullptr);

    // The start number and driver of a car, as the standings show them now.
    std::function<QPair<QString, QString>(int car)> StarterOf;

    // Whether a car had finished before this race time: its later crossings count for nothing.
    std::function<bool(int car, quint32 raceMs)> AfterFinish;

    // Reads every crossing afresh.
    void Reload();
    // A crossing the corrections just added with the latest race time: one row on top; any other
    // crossing reloads everything. Other rows' lap numbers and marks may have changed too.
    void AddCrossing(int id);

    int IdAt(int row) const { return row >= 0 && row < FIds.size() ? FIds[row] : 0; }
    int RowOf(int id) const { return int(FIds.indexOf(id)); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // What the log says about a crossing beyond its times: held, deleted, inserted, likely missed.
    static QString NoteText(const TRaceCorrections::TCrossing &crossing, bool afterFinish);

private:
    const TRaceCorrections &FCorrections;
    QList<int> FIds; // newest race time first
};
