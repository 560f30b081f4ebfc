#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

class QLocale;

// The locale whose number format the CSV files follow: the system's, while every text the
// program shows is German. Until set, the default locale.
void SetCsvLocale(const QLocale &locale);

// The field separator that spreadsheet programs of the CSV locale expect: ';' where the
// decimal point is a comma (so "1,5" stays one number), else ','.
QChar CsvSeparator();

// A duration in seconds as a number that a spreadsheet of the CSV locale reads: the
// locale's decimal separator, no group separators, and the digits of the time text of
// accuracy acc, cut or rounded as that text is, so the two always agree ("83,5" beside
// "00:01:23.5"). A negative duration counts as 0, as in the text.
QString CsvSeconds(qint32 ms, int acc);

// One field as written: quoted when it holds the separator, a quote or a line break, with
// its quotes doubled.
QString CsvField(const QString &value, QChar separator);

// A text typed by the user, made safe for a spreadsheet that reads the file: a leading
// '=', '+', '-' or '@' would start a formula there, so such a text gets an apostrophe in
// front, which the spreadsheet shows as plain text.
QString CsvUserText(const QString &value);

// The lines joined with CRLF (each line ended by one), as UTF-8 with a byte order mark, so
// that spreadsheet programs recognise the encoding and keep the umlauts.
QByteArray CsvDocument(const QList<QStringList> &lines, QChar separator);
