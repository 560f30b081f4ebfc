#pragma once

#include <QComboBox>
#include <QElapsedTimer>

// The choice of a car, one item per car in key order (F1 first). Digits typed pick the car by
// the start number it carries, as the operator reads it off the car ("7" is the car with
// number 7, "1" then "2" at once the one with 12); a car without a start number is picked by
// its key's number. A lap key pressed here picks its car (the lap key filter lets it through).
class TCarChooser : public QComboBox
{
public:
    explicit TCarChooser(QWidget *parent = nullptr);

    // The start number of each car, [car - 1]; empty where a car has none.
    void SetStartNumbers(const QStringList &numbers) { FNumbers = numbers; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Digits typed within this time make one number.
    static constexpr int kDigitsApartMs = 1000;

    // The car (1..count) the digits name, 0 when none.
    int carOfDigits(const QString &digits) const;

    QStringList FNumbers;
    QString FDigits;
    QElapsedTimer FLastDigit;
};
