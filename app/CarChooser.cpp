#include "CarChooser.h"

#include <QKeyEvent>

void TCarChooser::keyPressEvent(QKeyEvent *event)
{
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
    int car = FDigits.toInt();
    if (car < 1 || car > count()) {
        FDigits = text;
        car = FDigits.toInt();
    }
    if (car >= 1 && car <= count())
        setCurrentIndex(car - 1);
    event->accept();
}
