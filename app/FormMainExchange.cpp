// The results and starter-list commands of the window. Their work lives with the exchange code;
// these handlers are where the window hands over to it.
#include "FormMain.h"

#include <QDateTime>

#include "DocumentOpener.h"
#include "Excel.h"
#include "FlEdit.h"
#include "RaceResults.h"
#include "ResultsPageWriter.h"
#include "ResultsWorkbook.h"
#include "TSortGrid.h"
#include "WorkingFolder.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>

namespace {

const QString kWriteError = QStringLiteral("Der Schreibfehler der Datei: ");

} // namespace

TResultsSnapshot TFormMain::ResultsSnapshot() const
{
    const TResultsHeader header{windowTitle(),       eTitle->text(),   cbTip->currentText(),
                                seCarCount->value(), seKrugs->value(), double(feDist->Value())};
    TResultsSnapshot snapshot = RaceResults(Race, header, [this](int col, int row) {
        return row < SortGrid1->RowCount() ? SortGrid1->Cells(col, row) : QString();
    });
    for (const TRaceCorrections::TLogEntry &entry : Corrections.Log()) {
        const QString text =
            entry.undone ? entry.text + QStringLiteral(" (zurückgenommen)") : entry.text;
        snapshot.corrections.append({QDateTime::fromMSecsSinceEpoch(entry.wallMs)
                                         .toLocalTime()
                                         .toString(QStringLiteral("HH:mm:ss")),
                                     text});
    }
    return snapshot;
}

// Each click makes a new workbook file, which the desktop opens once it is saved. A workbook
// that cannot be made is reported with its path and the reason; no part of it is left.
void TFormMain::sbExcelClick(QObject *)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    TExcel excel(this);
    const bool written =
        excel.Connect() && WriteResultsWorkbook(excel, ResultsSnapshot()) && excel.Save();
    if (!written)
        excel.Discard();
    QGuiApplication::restoreOverrideCursor();
    if (!written)
        ReportWriteError(excel.targetPath(), excel.errorString());
}

void TFormMain::sbWebClick(QObject *)
{
    const QString fileName =
        TResultsPageWriter::fileNameFor(QCoreApplication::applicationFilePath());
    // A page that failed is not opened: the earlier one is still in place, and the message
    // says why this one is not.
    if (WriteResultsPage(fileName))
        DocumentOpener::open(fileName);
}

bool TFormMain::WriteResultsPage(const QString &FileName)
{
    TResultsPageWriter writer;
    if (writer.writeFile(FileName, ResultsSnapshot()))
        return true;
    ReportWriteError(FullPathOf(FileName), writer.errorString());
    return false;
}

void TFormMain::ReportWriteError(const QString &path, const QString &reason)
{
    const QString text = kWriteError + path + QStringLiteral("\n") + reason;
    if (ShowWriteError)
        ShowWriteError(text);
    else
        QMessageBox::critical(this, windowTitle(), text);
}
