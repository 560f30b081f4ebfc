// The results and starter-list commands of the window. Their work lives with the exchange code;
// these handlers are where the window hands over to it.
#include "FormMain.h"

#include <QDateTime>

#include "AnalysisPageWriter.h"
#include "DocumentOpener.h"
#include "Excel.h"
#include "FlEdit.h"
#include "RaceResults.h"
#include "ResultsCharts.h"
#include "ResultsCsv.h"
#include "ResultsPageWriter.h"
#include "ResultsPdfWriter.h"
#include "ResultsPrint.h"
#include "ResultsWorkbook.h"
#include "TSortGrid.h"
#include "WorkingFolder.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QSpinBox>
#include <QStatusBar>
#include <QtConcurrent/QtConcurrentRun>

namespace {

const QString kWriteError = QStringLiteral("Die Datei \u201E%1\u201C konnte nicht geschrieben "
                                           "werden: %2");
// Exports land in the working folder, which the operator may not know: the status bar says
// where each file went.
const QString kWorkbookWritten = QStringLiteral("Arbeitsmappe geschrieben: %1");
const QString kPageWritten = QStringLiteral("Ergebnisseite geschrieben: %1 (mit %2)");
const QString kFilesWritten = QStringLiteral("Geschrieben in %1: %2");
constexpr int kWrittenMessageMs = 10000;

} // namespace

TResultsSnapshot TFormMain::ResultsSnapshot() const
{
    const TResultsHeader header{windowTitle(),       eTitle->text(),   cbTip->currentText(),
                                seCarCount->value(), seKrugs->value(), double(feDist->Value())};
    return Session.Results(header);
}

// Each click makes a new workbook file, which the desktop opens once it is saved. A workbook
// that cannot be made is reported with its path and the reason; no part of it is left.
void TFormMain::sbExcelClick(QObject *)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    TExcel excel(this);
    const TResultsSnapshot snapshot = ResultsSnapshot();
    // The results sheet, the corrections (when there are any), then the charts and their data.
    const bool written = excel.Connect() && WriteResultsWorkbook(excel, snapshot) &&
                         WriteResultsCharts(excel, snapshot) && excel.Save();
    if (!written)
        excel.Discard();
    QGuiApplication::restoreOverrideCursor();
    if (!written)
        ReportWriteError(excel.targetPath(), excel.errorString());
    else
        StatusBar1->showMessage(kWorkbookWritten.arg(FullPathOf(excel.targetPath())),
                                kWrittenMessageMs);
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
    const TResultsSnapshot snapshot = ResultsSnapshot();
    TResultsPageWriter writer;
    if (!writer.writeFile(FileName, snapshot)) {
        ReportWriteError(FullPathOf(FileName), writer.errorString());
        return false;
    }
    // The lap chart and the lap times beside it; the results page itself stays as it is.
    const QString analysis = TAnalysisPageWriter::fileNameBeside(FileName);
    TAnalysisPageWriter analysisWriter;
    if (!analysisWriter.writeFile(analysis, snapshot))
        ReportWriteError(FullPathOf(analysis), analysisWriter.errorString());
    else
        StatusBar1->showMessage(
            kPageWritten.arg(FullPathOf(FileName), QFileInfo(analysis).fileName()),
            kWrittenMessageMs);
    return true;
}

QStringList TFormMain::ResultFileNames() const
{
    const QFileInfo page(TResultsPageWriter::fileNameFor(QCoreApplication::applicationFilePath()));
    const QString stem = page.path() + QLatin1Char('/') + page.completeBaseName();
    return {stem + QStringLiteral("-Ergebnis.pdf"), stem + QStringLiteral("-Ergebnis.csv"),
            stem + QStringLiteral("-Durchfahrten.csv")};
}

void TFormMain::ExportResultFiles()
{
    if (FExportingFiles)
        return;
    FExportingFiles = true;
    const TResultsSnapshot snapshot = ResultsSnapshot();
    const QStringList names = ResultFileNames();
    // The PDF takes a while to lay out: written on a thread of its own, so the lap keys count.
    auto *watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher, names] {
        const QString error = watcher->result();
        watcher->deleteLater();
        FExportingFiles = false;
        if (!error.isEmpty()) {
            const qsizetype split = error.indexOf(QLatin1Char('\n'));
            ReportWriteError(error.left(split), error.mid(split + 1));
        } else {
            QStringList files;
            for (const QString &name : names)
                files << QFileInfo(name).fileName();
            StatusBar1->showMessage(kFilesWritten.arg(QFileInfo(FullPathOf(names.first())).path(),
                                                      files.join(QStringLiteral(", "))),
                                    kWrittenMessageMs);
        }
        if (OnResultFilesWritten)
            OnResultFilesWritten(error);
    });
    watcher->setFuture(QtConcurrent::run([snapshot, names]() -> QString {
        TResultsPdfWriter pdf;
        if (!pdf.writeFile(names[0], snapshot))
            return FullPathOf(names[0]) + QLatin1Char('\n') + pdf.errorString();
        const QByteArray csv[] = {ResultsCsv(snapshot), CrossingsCsv(snapshot)};
        for (int i = 0; i < 2; ++i) {
            QSaveFile file(names[i + 1]);
            if (!file.open(QIODevice::WriteOnly) || file.write(csv[i]) != csv[i].size() ||
                !file.commit())
                return FullPathOf(names[i + 1]) + QLatin1Char('\n') + file.errorString();
        }
        return QString();
    }));
}

void TFormMain::PrintResults()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(eTitle->text());
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Ergebnisse drucken"));
    if (dialog.exec() == QDialog::Accepted)
        printResults(printer, ResultsSnapshot());
}

void TFormMain::ReportWriteError(const QString &path, const QString &reason)
{
    const QString text = kWriteError.arg(path, reason);
    if (ShowWriteError)
        ShowWriteError(text);
    else
        QMessageBox::critical(this, windowTitle(), text);
}
