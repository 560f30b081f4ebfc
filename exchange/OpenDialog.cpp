#include "OpenDialog.h"

#include <QFileDialog>
#include <QFileInfo>

bool TOpenDialog::Execute(QWidget *parent)
{
    m_offered.append(FileName);
    if (!m_prepared.isEmpty()) {
        const Answer answer = m_prepared.takeFirst();
        if (answer.chosen)
            Accept(answer.fileName, answer.filterIndex);
        return answer.chosen;
    }

    QFileDialog dialog(parent, Title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Any name is taken; one that does not exist reaches the import, which says so.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(Filter);
    if (FilterIndex >= 1 && FilterIndex <= Filter.size())
        dialog.selectNameFilter(Filter.at(FilterIndex - 1));
    if (!FileName.isEmpty()) {
        const QFileInfo offered(FileName);
        dialog.setDirectory(offered.absolutePath());
        dialog.selectFile(offered.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    Accept(dialog.selectedFiles().constFirst(),
           int(Filter.indexOf(dialog.selectedNameFilter())) + 1);
    return true;
}

void TOpenDialog::Accept(const QString &fileName, int filterIndex)
{
    FileName = fileName;
    if (!DefaultExt.isEmpty() && QFileInfo(fileName).suffix().isEmpty())
        FileName += QLatin1Char('.') + DefaultExt;
    FilterIndex = filterIndex;
}

void TOpenDialog::PrepareAnswer(const QString &fileName, int filterIndex)
{
    m_prepared.append({true, fileName, filterIndex});
}

void TOpenDialog::PrepareCancel()
{
    m_prepared.append({false, QString(), 0});
}

TOpenDialog StarterListOpenDialog()
{
    TOpenDialog dialog;
    dialog.DefaultExt = QStringLiteral("xls");
    dialog.Filter = {QStringLiteral("MS Excel file (*.xls *.xlsx)"),
                     QStringLiteral("OpenDocument (*.ods)"), QStringLiteral("CSV (*.csv)")};
    dialog.FilterIndex = 1;
    return dialog;
}

QString WithoutExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash =
        std::max(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')));
    return dot > slash ? fileName.left(dot) : fileName;
}
