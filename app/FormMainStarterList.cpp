// The starter-list command of the window: the file choice and the import into the standings.
#include "FormMain.h"

#include "StarterListError.h"
#include "StarterListGrid.h"
#include "StarterListReader.h"

#include <QCoreApplication>
#include <QToolButton>

namespace {

const QString kNoListDuringRace = QStringLiteral(
    "Während eines Rennens kann keine Starterliste geladen werden, sonst gingen Zeilen der Autos "
    "mit ihren Runden verloren. Bitte die Liste laden, wenn das Rennen beendet und "
    "zurückgesetzt ist.");

} // namespace

void TFormMain::bStartListClick(QObject *)
{
    // A list rewrites the rows and their count; during a race that would hide cars and their
    // laps from the keys and the exports. The button is off then, but Ctrl+O still gets here.
    if (FRaceState != rsReady)
        throw EStarterListError(kNoListDuringRace);
    // The last list is offered again as it was read, extension included, so Enter reads the
    // same file.
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
