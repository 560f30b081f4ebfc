// How the standings grid shows its cells: alignments, the size and weight of the running times,
// the warning colour, and which cells the user may edit.
#include "FormMain.h"

#include "StandingsView.h"
#include "WindowLook.h"

#include "TSortGrid.h"

#include <QTimer>

namespace {

constexpr int kZeitPointSize = 14;
constexpr int kSmallestZeitPointSize = 6;
constexpr int kZeitInsets = 4;
const QColor kPressedRowColour(0xFF, 0xF2, 0xA8);

// The running time's font, kept between cells: a font made afresh for every cell is looked up
// in the font database again each time it paints.
const QFont &ZeitFont(const QFont &cellFont, bool bold, double zoom)
{
    static QFont base;
    static QFont regular;
    static QFont heavy;
    static double baseZoom = 0;
    if (!(base == cellFont) || base.resolveMask() != cellFont.resolveMask() || baseZoom != zoom) {
        base = cellFont;
        baseZoom = zoom;
        regular = cellFont;
        if (zoom == 1.0)
            regular.setPointSize(kZeitPointSize);
        else
            regular.setPointSizeF(kZeitPointSize * zoom);
        regular.setBold(false);
        heavy = regular;
        heavy.setBold(true);
    }
    return bold ? heavy : regular;
}

// A race total with hours, or a high speed, is wider than the column was made for; it is shown
// smaller rather than cut, so no digit is lost. Fonts sized in points or in pixels alike.
void FitTextToWidth(QFont &font, const QString &text, int width)
{
    const bool pixels = font.pixelSize() > 0;
    const auto size = [&font, pixels] { return pixels ? font.pixelSize() : font.pointSize(); };
    while (size() > kSmallestZeitPointSize && TSortGrid::MeasuredTextWidth(font, text) > width) {
        if (pixels)
            font.setPixelSize(font.pixelSize() - 1);
        else
            font.setPointSize(font.pointSize() - 1);
    }
}

} // namespace

void TFormMain::SortGrid1GetCellFormat(QObject *, int Col, int Row, TGridDrawState,
                                       TFormatOptions &FormatOptions, bool &, bool &, bool &)
{
    if (Row == 0) {
        FormatOptions.AlignmentHorz = taCenter;
        return;
    }
    // The row of the car pressed last is marked for a moment, so the operator sees which car
    // the press went to.
    if (FMarkedCar != 0 && FormatOptions.Brush && Race.RowOfCar(FMarkedCar) == Row &&
        Col != TRaceTiming::colPos && Col != TRaceTiming::colKey)
        *FormatOptions.Brush = kPressedRowColour;
    switch (Col) {
    case TRaceTiming::colPos:
    case TRaceTiming::colKey:
        FormatOptions.AlignmentHorz = taCenter;
        break;
    case TRaceTiming::colFahrer:
        FormatOptions.AlignmentHorz = taLeftJustify;
        break;
    case TRaceTiming::colZeit: {
        TCanvasFont &font = *FormatOptions.Font;
        // Running laps tick in regular weight; frozen and final times stand out in bold.
        font.QFont::operator=(ZeitFont(font, !Timer1->isActive(), Standings->Zoom));
        const QString text = SortGrid1->Cells(Col, Row);
        if (text.count(u':') > 1)
            FitTextToWidth(font, text, SortGrid1->ColWidths(Col) - kZeitInsets);
        const int car = Race.CarOfRow(Row);
        if (car < 1)
            break;
        // A car not seen for the warning time turns red until its next press; a car that has
        // finished, and every car once the race is over, is no longer awaited.
        const bool overdue = Session.Overdue(car, FTicks.GetTickCount());
        font.Color = overdue ? kWarningColor : QColor(Qt::black);
        break;
    }
    case TRaceTiming::colSpeed:
        FitTextToWidth(*FormatOptions.Font, SortGrid1->Cells(Col, Row),
                       SortGrid1->ColWidths(Col) - kZeitInsets);
        break;
    default:
        break;
    }
}

void TFormMain::SortGrid1SelectCell(QObject *, int ACol, int, bool &)
{
    // Only start numbers and drivers are typed in; everything else is the race's.
    const bool editable = ACol == TRaceTiming::colNr || ACol == TRaceTiming::colFahrer;
    TGridOptions options = SortGrid1->Options();
    options.setFlag(goEditing, editable);
    SortGrid1->SetOptions(options);
}
