#include "CrossingDialog.h"

#include "CarChooser.h"
#include "RaceCorrections.h"
#include "WindowFit.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TCrossingDialog::TCrossingDialog(const QString &title, const QStringList &cars, int car,
                                 quint32 raceMs, bool carEditable, bool timeEditable,
                                 QWidget *parent)
    : QDialog(parent), FRaceMs(raceMs)
{
    setWindowTitle(title);
    FCar = new TCarChooser;
    FCar->setObjectName(QStringLiteral("CrossingCar"));
    FCar->addItems(cars);
    FCar->setCurrentIndex(qBound(0, car - 1, int(cars.size()) - 1));
    FCar->setEnabled(carEditable);
    FTime = new QLineEdit(TRaceCorrections::RaceTimeText(raceMs));
    FTime->setObjectName(QStringLiteral("CrossingTime"));
    FTime->setEnabled(timeEditable);
    FTime->setToolTip(QStringLiteral("Rennzeit, z. B. 12:34,5 oder 1:02:03,4"));
    FError = new QLabel;
    FError->setStyleSheet(QStringLiteral("color: #C00000"));
    FError->hide();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TCrossingDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TCrossingDialog::reject);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Auto:"), FCar);
    form->addRow(QStringLiteral("&Rennzeit:"), FTime);
    form->addRow(FError);
    form->addRow(buttons);
    // The caption says which correction this is: it is shown whole.
    FitWidthToTitle(this);
    if (timeEditable) {
        FTime->setFocus();
        FTime->selectAll();
    } else {
        FCar->setFocus();
    }
}

void TCrossingDialog::accept()
{
    // The time proposed and left as it stood keeps its milliseconds ("now" stays now).
    if (FTime->isEnabled() && FTime->text() != TRaceCorrections::RaceTimeText(FRaceMs)) {
        const std::optional<quint32> ms = TRaceCorrections::ParseRaceTime(FTime->text());
        if (!ms) {
            FError->setText(QStringLiteral("Die Rennzeit \u201E%1\u201C ist ungültig: bitte wie "
                                           "12:34,5 oder 1:02:03,4 eingeben.")
                                .arg(FTime->text()));
            FError->show();
            FTime->setFocus();
            return;
        }
        FRaceMs = *ms;
    }
    QDialog::accept();
}

void TCrossingDialog::SetStartNumbers(const QStringList &numbers)
{
    FCar->SetStartNumbers(numbers);
}

TCrossingDialog::TAnswer TCrossingDialog::Answer() const
{
    return {FCar->currentIndex() + 1, FRaceMs};
}
