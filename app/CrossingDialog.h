#pragma once

#include <QDialog>

#include <optional>

class TCarChooser;
class QLabel;
class QLineEdit;

// The small question of the correction desk: which car and which race time. Inserting asks
// both, moving only the car, editing only the time. A race time that cannot be read keeps the
// dialog open with a German message.
class TCrossingDialog : public QDialog
{
    Q_OBJECT
public:
    struct TAnswer
    {
        int car = 0;
        quint32 raceMs = 0;
    };

    // cars: the texts of the cars 1..n ("F3  7 Müller"); the car and the time proposed.
    TCrossingDialog(const QString &title, const QStringList &cars, int car, quint32 raceMs,
                    bool carEditable, bool timeEditable, QWidget *parent = nullptr);

    TAnswer Answer() const;
    // The start number of each car, [car - 1], by which digits typed in the car field pick it.
    void SetStartNumbers(const QStringList &numbers);

    void accept() override;

private:
    TCarChooser *FCar;
    QLineEdit *FTime;
    QLabel *FError;
    quint32 FRaceMs;
};
