#include "DayDateEdit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

const QString kShown = QStringLiteral("dd.MM.yyyy");

} // namespace

TDayDateEdit::TDayDateEdit(const QDate &date, QWidget *parent) : QDateEdit(date, parent)
{
    setDisplayFormat(kShown);
    setCalendarPopup(true);
}

QDate TDayDateEdit::ReadDate(const QString &text)
{
    static const QRegularExpression date(
        QStringLiteral(R"(^\s*(\d{1,2})\.(\d{1,2})\.(\d{2}|\d{4})\s*$)"));
    const QRegularExpressionMatch m = date.match(text);
    if (!m.hasMatch())
        return {};
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2)
        year += 2000;
    return QDate(year, m.captured(2).toInt(), m.captured(1).toInt());
}

QValidator::State TDayDateEdit::validate(QString &input, int &) const
{
    const QDate date = ReadDate(input);
    if (date.isValid() && input == date.toString(kShown))
        return QValidator::Acceptable;
    // Digits and dots may still become a date; Settle() decides once the typing is done.
    static const QRegularExpression typing(QStringLiteral(R"(^[\d.\s]{0,12}$)"));
    return typing.match(input).hasMatch() ? QValidator::Intermediate : QValidator::Invalid;
}

QDateTime TDayDateEdit::dateTimeFromText(const QString &text) const
{
    return QDateTime(ReadDate(text), QTime(0, 0));
}

QString TDayDateEdit::textFromDateTime(const QDateTime &dateTime) const
{
    return dateTime.date().toString(kShown);
}

void TDayDateEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        Settle();
    // The whole date, not only the day, is typed over.
    if (event->matches(QKeySequence::SelectAll)) {
        lineEdit()->selectAll();
        return;
    }
    QDateEdit::keyPressEvent(event);
}

void TDayDateEdit::focusInEvent(QFocusEvent *event)
{
    QDateEdit::focusInEvent(event);
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
        event->reason() == Qt::ShortcutFocusReason)
        lineEdit()->selectAll();
}

void TDayDateEdit::focusOutEvent(QFocusEvent *event)
{
    Settle();
    QDateEdit::focusOutEvent(event);
}

void TDayDateEdit::Settle()
{
    const QString typed = lineEdit()->text();
    if (typed == textFromDateTime(dateTime()))
        return;
    const QDate date = ReadDate(typed);
    if (date.isValid()) {
        lineEdit()->setText(date.toString(kShown));
        return;
    }
    // The field shows the date it kept.
    lineEdit()->setText(textFromDateTime(dateTime()));
    emit unreadable(typed);
}
