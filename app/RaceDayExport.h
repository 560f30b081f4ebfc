#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class TExcel;
class TFormMain;
class QWidget;

// Writes a race day's or a season's results beside the race exports: "<program>-<what>.html" and
// ".pdf" on a thread of their own (the PDF takes a while), and a new workbook
// "<program>-<what>-<time>.xlsx". written (else the main window's status bar) names where they
// went; a failure is reported as the race exports report theirs. done gets the error text, empty
// on success.
struct TResultsOut
{
    QString what; // "Veranstaltung" or "Meisterschaft"
    std::function<QByteArray()> page;
    std::function<QByteArray()> pdf;
    std::function<bool(TExcel &)> workbook;
    std::function<void(const QString &text)> written; // in the window that exported
};
void WriteResultsOut(TFormMain *main, QWidget *owner, const TResultsOut &out,
                     std::function<void(const QString &error)> done = {});

// "<folder>/Talvenbahn-Veranstaltung.html" and ".pdf" in the folder the race exports use.
QString ResultsOutFileName(const QString &what, const QString &extension);
