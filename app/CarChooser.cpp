#include "CarChooser.h"

#include "LapKeyFilter.h"

#include <QKeyEvent>

TCarChooser::TCarChooser(QWidget *parent) : QComboBox(parent)
{
    setProperty(TLapKeyFilter::kPicksCarProperty, true);
}

int TCarChooser::carOfDigits(const QString &digits) const
{
    const int cars = count();
    // The number on the car first, as typed, then as a number ("07" is 7).
    for (int car = 1; car <= cars; ++car) {
        if (car <= FNumbers.size() && FNumbers[car - 1].trimmed() == digits)
            return car;
    }
    bool ok = false;
    const int value = digits.toInt(&ok);
    if (!ok)
        return 0;
    for (int car = 1; car <= cars; ++car) {
        if (car <= FNumbers.size() && FNumbers[car - 1].trimmed().toInt() == value &&
            !FNumbers[car - 1].trimmed().isEmpty())
            return car;
    }
    // A car without a number goes by its key.
    if (value < 1 || value > cars)
        return 0;
    const bool hasNumber = value <= FNumbers.size() && !FNumbers[value - 1].trimmed().isEmpty();
    return hasNumber ? 0 : value;
}

void TCarChooser::keyPressEvent(QKeyEvent *event)
{
    if (const int car = TLapKeyFilter::LapKeyCar(event); car != 0) {
        if (car <= count())
            setCurrentIndex(car - 1);
        event->accept();
        return;
    }
    const QString text = event->text();
    if (text.size() != 1 || !text.at(0).isDigit() || (event->modifiers() & ~Qt::KeypadModifier)) {
        QComboBox::keyPressEvent(event);
        return;
    }
    if (!FLastDigit.isValid() || FLastDigit.elapsed() > kDigitsApartMs)
        FDigits.clear();
    FLastDigit.start();
    FDigits += text;
    // The digits so far name a car, or else the last one alone does.
    int car = carOfDigits(FDigits);
    if (car == 0) {
        FDigits = text;
        car = carOfDigits(FDigits);
    }
    if (car != 0)
        setCurrentIndex(car - 1);
    event->accept();
}
