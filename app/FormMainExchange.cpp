// The results and starter-list commands of the window. Their work lives with the exchange code;
// these handlers are where the window hands over to it.
#include "FormMain.h"

#include "DocumentOpener.h"
#include "Excel.h"
#include "FlEdit.h"
#include "RaceResults.h"
#include "ResultsPageWriter.h"
#include "ResultsWorkbook.h"
#include "TSortGrid.h"

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
    return RaceResults(Race, header, [this](int col, int row) {
        return row < SortGrid1->RowCount() ? SortGrid1->Cells(col, row) : QString();
    });
}

// Each click makes a new workbook file; the desktop opens it once it is saved. Like the rest
// of the race timing, a workbook that cannot be made shows no message.
void TFormMain::sbExcelClick(QObject *)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    {
        TExcel excel(this);
        if (excel.Connect())
            WriteResultsWorkbook(excel, ResultsSnapshot());
    } // freeing the workbook saves and opens it
    QGuiApplication::restoreOverrideCursor();
}

void TFormMain::sbWebClick(QObject *)
{
    const QString fileName =
        TResultsPageWriter::fileNameFor(QCoreApplication::applicationFilePath());
    WriteResultsPage(fileName);
    // An earlier page is still shown when this one could not be written.
    if (QFileInfo(fileName).isFile())
        DocumentOpener::open(fileName);
}

void TFormMain::WriteResultsPage(const QString &FileName)
{
    TResultsPageWriter writer;
    if (writer.writeFile(FileName, ResultsSnapshot()))
        return;
    const QString text = kWriteError + FileName;
    if (ShowWriteError)
        ShowWriteError(text);
    else
        QMessageBox::critical(this, windowTitle(), text);
}
