#pragma once

#include <QComboBox>
#include <QElapsedTimer>

// The choice of a car, one item per car in key order (F1 first). Typing a car's number picks
// it: "3" is F3, "1" then "2" at once is F12.
class TCarChooser : public QComboBox
{
public:
    using QComboBox::QComboBox;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Digits typed within this time make one number.
    static constexpr int kDigitsApartMs = 1000;

    QString FDigits;
    QElapsedTimer FLastDigit;
};
