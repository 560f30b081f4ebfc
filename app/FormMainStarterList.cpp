// The starter-list command of the window: the file choice and the import into the standings.
#include "FormMain.h"

#include "StarterListError.h"
#include "StarterListGrid.h"
#include "StarterListReader.h"

#include <QCoreApplication>
#include <QToolButton>

void TFormMain::bStartListClick(QObject *)
{
    // The last list is offered again without its extension.
    OpenDialog1.FileName = WithoutExtension(OpenDialog1.FileName);
    if (!OpenDialog1.Execute(this))
        return;
    // Repaint where the dialog was before the import starts.
    QCoreApplication::processEvents();
    // Every filter names a format the import reads.
    ReadStarterList(OpenDialog1.FileName);
    sbExcel->setEnabled(true);
    sbWeb->setEnabled(true);
}

void TFormMain::ReadStarterList(const QString &FileName)
{
    StarterListReader reader;
    if (!reader.read(FileName))
        throw EStarterListError(reader.errorString());
    WriteStarterList(*SortGrid1, reader.rows());
    // The grid has no scroll bars: every starter stays in sight, as after a change of the car
    // count.
    FitHeightToRows();
}
