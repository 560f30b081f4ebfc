#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// The field separator that spreadsheet programs of the default locale expect: ';' where the
// decimal point is a comma (so "1,5" stays one number), else ','.
QChar CsvSeparator();

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
