#include "OpenDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

bool TOpenDialog::Execute(QWidget *parent)
{
    m_offered.append(FileName);
    if (!m_prepared.isEmpty()) {
        const Answer answer = m_prepared.takeFirst();
        if (answer.chosen)
            Accept(answer.asOffered ? FileName : answer.fileName,
                   answer.asOffered ? FilterIndex : answer.filterIndex);
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

QStringList TOpenDialog::OfferedExtensions(int filterIndex) const
{
    // The chosen filter's extensions first, then the others, in the order the filters list them.
    QStringList extensions;
    const auto addFrom = [&extensions](const QString &filter) {
        static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
        for (auto match = pattern.globalMatch(filter); match.hasNext();) {
            const QString extension = match.next().captured(1);
            if (!extensions.contains(extension))
                extensions.append(extension);
        }
    };
    if (filterIndex >= 1 && filterIndex <= Filter.size())
        addFrom(Filter.at(filterIndex - 1));
    for (const QString &filter : Filter)
        addFrom(filter);
    return extensions;
}

void TOpenDialog::Accept(const QString &fileName, int filterIndex)
{
    FileName = fileName;
    FilterIndex = filterIndex;
    const QFileInfo typed(fileName);
    if (!typed.suffix().isEmpty() || typed.exists())
        return;
    // A name typed without extension means the list that is there, whatever its format; the
    // default extension only when none of them exists.
    for (const QString &extension : OfferedExtensions(filterIndex)) {
        const QString candidate = fileName + QLatin1Char('.') + extension;
        if (QFileInfo(candidate).isFile()) {
            FileName = candidate;
            return;
        }
    }
    if (!DefaultExt.isEmpty())
        FileName += QLatin1Char('.') + DefaultExt;
}

void TOpenDialog::PrepareAnswer(const QString &fileName, int filterIndex)
{
    m_prepared.append({true, false, fileName, filterIndex});
}

void TOpenDialog::PrepareCancel()
{
    m_prepared.append({false, false, QString(), 0});
}

void TOpenDialog::PrepareEnter()
{
    m_prepared.append({true, true, QString(), 0});
}

TOpenDialog StarterListOpenDialog()
{
    TOpenDialog dialog;
    dialog.DefaultExt = QStringLiteral("xls");
    // Every format the reader takes is in sight at first; the others narrow the choice.
    dialog.Filter = {QStringLiteral("Alle Starterlisten (*.xls *.xlsx *.ods *.csv)"),
                     QStringLiteral("Excel-Arbeitsmappe (*.xls *.xlsx)"),
                     QStringLiteral("OpenDocument-Tabelle (*.ods)"),
                     QStringLiteral("CSV-Datei (*.csv)")};
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
