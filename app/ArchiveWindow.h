#pragma once

#include "ArchiveModel.h"
#include "RaceSummary.h"

#include <QDialog>
#include <QList>

#include <functional>

class QCheckBox;
class QPushButton;
class QTableView;
class TArchiveModel;

// "Frühere Rennen": every race of the journal, newest first, with its date, title, session,
// cars, laps, winner and state. A race is opened read-only in the standings or deleted; what
// happens then is the window's (the callbacks).
class TArchiveWindow : public QDialog
{
    Q_OBJECT

public:
    explicit TArchiveWindow(QWidget *parent = nullptr);

    void SetRaces(const QList<TRaceSummary> &races);
    // With a club server, "alle Stationen" lists the other stations' races too.
    void SetServerAvailable(bool available);
    bool AllStations() const;
    void SetOtherRaces(const QList<TArchiveRow> &others);
    // The selected line; null when none is selected.
    const TArchiveRow *SelectedRow() const;
    // The race of this journal on the selected line; 0 when none (or another station's) is
    // selected.
    qint64 SelectedRace() const;
    bool SelectRace(qint64 raceId);

    std::function<void(qint64 raceId)> OnOpen;
    std::function<void(qint64 raceId)> OnDelete;
    std::function<void(const QString &station, qint64 raceId)> OnOpenOther;
    std::function<void(bool all)> OnAllStations;

    QTableView *Table = nullptr;
    TArchiveModel *Model = nullptr;
    QPushButton *OpenButton = nullptr;
    QPushButton *DeleteButton = nullptr;
    QCheckBox *AllStationsBox = nullptr;

    // The German word for a race's state, as the list shows it.
    static QString StateText(TRaceSummary::State state);

private:
    void updateButtons();
};
