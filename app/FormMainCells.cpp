// How the standings grid shows its cells: alignments, the size and weight of the running times,
// the warning colour, and which cells the user may edit.
#include "FormMain.h"

#include "TSortGrid.h"

void TFormMain::SortGrid1SelectCell(QObject *, int ACol, int, bool &)
{
    // Only start numbers and drivers are typed in; everything else is the race's.
    const bool editable = ACol == TRaceTiming::colNr || ACol == TRaceTiming::colFahrer;
    TGridOptions options = SortGrid1->Options();
    options.setFlag(goEditing, editable);
    SortGrid1->SetOptions(options);
}
