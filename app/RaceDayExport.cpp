#include "RaceDayExport.h"

#include "Excel.h"
#include "ExportWriter.h"
#include "FormMain.h"
#include "WorkingFolder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QStatusBar>
#include <QtConcurrent/QtConcurrentRun>

namespace {

const QString kWritten = QStringLiteral("Geschrieben in %1: %2");
constexpr int kWrittenMessageMs = 10000;

} // namespace

QString ResultsOutFileName(const QString &what, const QString &extension)
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() +
           QLatin1Char('-') + what + QLatin1Char('.') + extension;
}

void WriteResultsOut(TFormMain *main, QWidget *owner, const TResultsOut &out,
                     std::function<void(const QString &error)> done)
{
    TExcel excel;
    excel.SetBaseName(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() +
                      QLatin1Char('-') + out.what);
    const bool workbook = excel.Connect() && out.workbook(excel) && excel.Save();
    if (!workbook) {
        excel.Discard();
        main->ReportWriteError(excel.targetPath(), excel.errorString());
    }
    const QString workbookName = workbook ? QFileInfo(excel.fileName()).fileName() : QString();
    const QString page = ResultsOutFileName(out.what, QStringLiteral("html"));
    const QString pdf = ResultsOutFileName(out.what, QStringLiteral("pdf"));
    auto *watcher = new QFutureWatcher<QString>(owner);
    QObject::connect(watcher, &QFutureWatcher<QString>::finished, owner,
                     [main, watcher, page, pdf, workbookName, done, written = out.written] {
                         const QString error = watcher->result();
                         watcher->deleteLater();
                         if (!error.isEmpty()) {
                             const qsizetype split = error.indexOf(QLatin1Char('\n'));
                             main->ReportWriteError(error.left(split), error.mid(split + 1));
                         } else {
                             QStringList files = {page, pdf};
                             if (!workbookName.isEmpty())
                                 files << workbookName;
                             const QString text = kWritten.arg(QFileInfo(FullPathOf(page)).path(),
                                                               files.join(QStringLiteral(", ")));
                             if (written)
                                 written(text);
                             else
                                 main->StatusBar1->showMessage(text, kWrittenMessageMs);
                         }
                         if (done)
                             done(error);
                     });
    watcher->setFuture(QtConcurrent::run([page, pdf, makePage = out.page, makePdf = out.pdf] {
        const std::pair<QString, std::function<QByteArray()>> files[] = {{page, makePage},
                                                                         {pdf, makePdf}};
        for (const auto &[name, make] : files) {
            QString error;
            bool createFailed = false;
            if (!WriteExportFile(name, make(), error, createFailed))
                return FullPathOf(name) + QLatin1Char('\n') + error;
        }
        return QString();
    }));
}
