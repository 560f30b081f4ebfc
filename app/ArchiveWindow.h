#pragma once

#include "RaceSummary.h"

#include <QDialog>
#include <QList>

#include <functional>

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
    // The race of the selected line; 0 when none is selected.
    qint64 SelectedRace() const;
    bool SelectRace(qint64 raceId);

    std::function<void(qint64 raceId)> OnOpen;
    std::function<void(qint64 raceId)> OnDelete;

    QTableView *Table = nullptr;
    TArchiveModel *Model = nullptr;
    QPushButton *OpenButton = nullptr;
    QPushButton *DeleteButton = nullptr;

    // The German word for a race's state, as the list shows it.
    static QString StateText(TRaceSummary::State state);

private:
    void updateButtons();
};
