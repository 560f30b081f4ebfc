#pragma once

#include <QDateEdit>

// A date typed as the secretary writes it: "3.4.26", "03.04.26" or "03.04.2026" (a two-digit
// year is 20yy), shown as "03.04.2026", or chosen from the calendar. Typed text that is no date
// leaves the date as it was and is reported through unreadable().
class TDayDateEdit : public QDateEdit
{
    Q_OBJECT

public:
    explicit TDayDateEdit(const QDate &date, QWidget *parent = nullptr);

    // The date in text; invalid when it is none.
    static QDate ReadDate(const QString &text);

signals:
    void unreadable(const QString &text);

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    QDateTime dateTimeFromText(const QString &text) const override;
    QString textFromDateTime(const QDateTime &dateTime) const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // Turns what was typed into the shown form, before the field takes it.
    void Settle();
};
