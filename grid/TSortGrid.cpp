#include "TSortGrid.h"

#include "CommaText.h"
#include "GridError.h"
#include "GridGlyphs.h"
#include "LocaleConvert.h"

#include <QMessageBox>
#include <QScrollBar>
#include <QSet>
#include <cmath>
#include <vector>

TSortGrid::TSortGrid(QWidget *parent) : TMyStringGrid(parent)
{
    SetFixedCols(0);
    m_selectedRows = {QString::number(Row())};
    m_selectionTrail = m_selectedRows;
    for (const char *name : {"UP", "DOWN", "CHECKED", "UNCHECKED", "COMBOBOX", "ELLIPSIS"})
        m_glyphs.insert(QLatin1String(name), GridGlyph(QLatin1String(name)));
    ShowMessage = [this](const QString &message) {
        // Not modal-blocking: the message may come from inside a sort or a paint.
        auto *box = new QMessageBox(QMessageBox::Warning, window()->windowTitle(), message,
                                    QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    };
}

// ---- properties ----------------------------------------------------------------------

void TSortGrid::SetAlignmentHorz(TAlignment value)
{
    if (value == m_alignmentHorz)
        return;
    m_alignmentHorz = value;
    InvalidateGrid();
}

void TSortGrid::SetAlignmentVert(TVertAlignment value)
{
    if (value == m_alignmentVert)
        return;
    m_alignmentVert = value;
    InvalidateGrid();
}

void TSortGrid::SetBevelStyle(TCellBevelStyle value)
{
    if (value == m_bevelStyle)
        return;
    m_bevelStyle = value;
    InvalidateGrid();
}

void TSortGrid::SetHideRows(bool value)
{
    m_hideRows = value;
    if (RowCount() > 1)
        MoveColRow(Col(), 1, true, false);
    InvalidateGrid();
}

void TSortGrid::SetMultiSelect(bool value)
{
    m_multiSelect = value;
    if (value)
        SetOptions(Options() | goRowSelect);
    InvalidateGrid();
}

void TSortGrid::SetProportionalScrollBars(bool value)
{
    if (value == m_proportionalScrollBars)
        return;
    m_proportionalScrollBars = value;
    UpdateScrollRange();
}

void TSortGrid::SetUserSettings(const QStringList &value)
{
    m_userSettings = value;
    SetModified(true);
}

void TSortGrid::SetModified(bool value)
{
    m_modified = value;
    if (value && OnModified)
        OnModified(this);
}

void TSortGrid::SetSortOptions(const TSortOptions &value)
{
    m_sortOptions.Assign(value);
    InvalidateRow(0);
}

// ---- update bracket ------------------------------------------------------------------

void TSortGrid::BeginUpdate()
{
    // Parked only by the bracket's first opening: a second BeginUpdate would otherwise
    // save the parked False and lose the user's setting at EndUpdate.
    const bool opening = !NowUpdating();
    TMyStringGrid::BeginUpdate();
    if (opening) {
        m_savedUpdateOnSizeChange = m_sortOptions.UpdateOnSizeChange;
        m_sortOptions.UpdateOnSizeChange = false;
    }
}

void TSortGrid::EndUpdate()
{
    const bool wasUpdating = NowUpdating();
    try {
        TMyStringGrid::EndUpdate();
    } catch (...) {
        if (wasUpdating)
            m_sortOptions.UpdateOnSizeChange = m_savedUpdateOnSizeChange;
        throw;
    }
    if (wasUpdating)
        m_sortOptions.UpdateOnSizeChange = m_savedUpdateOnSizeChange;
    if (OnEndUpdate)
        OnEndUpdate(this);
}

// ---- sorting ---------------------------------------------------------------------------

void TSortGrid::SortRows(int ACol)
{
    if (!m_sortOptions.CanSort)
        return;
    // The title row shows the sort arrow over the sort column.
    if (m_sortOptions.SortCol != ACol)
        InvalidateRow(0);
    m_sortOptions.SortCol = ACol;
    // Text still in the editor belongs to the row it was typed in: put it there before
    // the rows move, or it would land in whichever row takes that position.
    CommitOpenEditor();
    BeginUpdate();
    try {
        int col = ACol;
        if (OnBeforeSort)
            OnBeforeSort(this, col);
        RunSortPasses(col);
        m_sortOptions.CompareFunc = nullptr;
        if (OnAfterSort)
            OnAfterSort(this, col);
    } catch (...) {
        m_sortedList.Clear();
        m_sortOptions.CompareFunc = nullptr;
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TSortGrid::CommitOpenEditor()
{
    if (EditorMode()) {
        ValidateCell();
        CommitEditor();
        HideEditor();
    }
}

int TSortGrid::KeyColumn(const QString &key) const
{
    int col = 0;
    if (!LocaleConvert::TextToInt32(key, col))
        throw EGridError(QStringLiteral("'%1' is not a valid integer value").arg(key));
    if (col < 0 || col >= ColCount())
        throw EGridError(QStringLiteral("Sort column %1 is out of range").arg(col));
    return col;
}

void TSortGrid::RunSortPasses(int col)
{
    QSet<int> selected;
    for (const QString &row : m_selectedRows)
        selected.insert(row.toInt());

    QStringList keys = SplitCommaText(m_sortOptions.SecondaryIndex);
    const QString primary = QString::number(col);
    keys.removeOne(primary);
    keys.prepend(primary);

    const int rowCount = RowCount();
    const int colCount = ColCount();
    using RowCellList = std::vector<TGridCell>;
    std::vector<RowCellList> snapshot;
    snapshot.reserve(size_t(rowCount));
    for (int r = 0; r < rowCount; ++r)
        snapshot.push_back(RowCells(r, colCount));

    // Belongs to this call: the handler sees ssAutomatic first, then its own last answer.
    TSortStyle handlerStyle = ssAutomatic;
    for (int k = int(keys.size()) - 1; k >= 0; --k) {
        const int keyCol = KeyColumn(keys.at(k));
        m_sortedList.Clear();
        for (int r = 1; r < rowCount; ++r)
            m_sortedList.Append({snapshot[size_t(r)][size_t(keyCol)].Text, r, &m_sortOptions});
        if (OnGetSortStyle) {
            OnGetSortStyle(this, keyCol, handlerStyle);
            m_sortOptions.SortStyle = handlerStyle;
        } else if (m_sortOptions.SortStyle == ssAutomatic) {
            m_sortOptions.SortStyle = DetectSortStyle(keyCol);
        }
        m_sortedList.PrepareKeys();
        m_sortedList.Sort();

        const int n = m_sortedList.Count();
        if (k > 0) {
            // A secondary key: only the snapshot takes the new order.
            std::vector<RowCellList> scratch(static_cast<size_t>(rowCount));
            scratch[0] = std::move(snapshot[0]);
            for (int i = 0; i < n; ++i)
                scratch[size_t(i + 1)] = std::move(snapshot[size_t(m_sortedList.At(i).SourceRow)]);
            snapshot = std::move(scratch);
            continue;
        }
        // The primary key: write the rows back, and let the selection follow its rows.
        const QStringList selectedBefore = m_selectedRows;
        bool firstSelected = true;
        for (int i = 0; i < n; ++i) {
            const int source = m_sortedList.At(i).SourceRow;
            SetRowCells(i + 1, snapshot[size_t(source)]);
            if (!selected.contains(source))
                continue;
            if (firstSelected) {
                firstSelected = false;
                MoveColRow(Col(), i + 1, true, false);
                m_selectedRows.clear();
                m_selectionTrail.clear();
            }
            m_selectedRows.append(QString::number(i + 1));
            m_selectionTrail.append(QString::number(i + 1));
        }
        // Rows that lost or gained the highlight are repainted with the moved rows.
        if (m_selectedRows != selectedBefore) {
            for (const QStringList &rows : {selectedBefore, m_selectedRows})
                for (const QString &row : rows)
                    RowContentsChanged(row.toInt());
        }
    }
    m_sortedList.Clear();
}

TSortStyle TSortGrid::DetectSortStyle(int ACol) const
{
    bool numeric = true;
    bool dateTime = true;
    bool time = true;
    double value = 0;
    for (int r = 1; r < RowCount(); ++r) {
        const QString text = Cells(ACol, r);
        if (numeric && !LocaleConvert::TextToFloat(text, value))
            numeric = false;
        if (time && !LocaleConvert::TextToTime(text, value))
            time = false;
        if (dateTime && !LocaleConvert::TextToDateTime(text, value))
            dateTime = false;
    }
    if (numeric)
        return ssNumeric;
    if (dateTime)
        return ssDateTime;
    if (time)
        return ssTime;
    return ssNormal;
}

// ---- grid notifications --------------------------------------------------------------

void TSortGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    int &sortCol = m_sortOptions.SortCol;
    if (sortCol == FromIndex)
        sortCol = ToIndex;
    else if (ToIndex <= sortCol && sortCol < FromIndex)
        ++sortCol;
    else if (FromIndex < sortCol && sortCol <= ToIndex)
        --sortCol;
    TMyStringGrid::ColumnMoved(FromIndex, ToIndex);
    SetModified(true);
}

void TSortGrid::SizeChanged(int OldColCount, int OldRowCount)
{
    TMyStringGrid::SizeChanged(OldColCount, OldRowCount);
    SetModified(true);
    UpdateScrollRange();
    if (m_sortOptions.UpdateOnSizeChange)
        SortRows(m_sortOptions.SortCol);
    if (!NowUpdating()) {
        try {
            GotoCell(0, 1, true);
        } catch (...) {
            // A handler refusing the move must not undo the size change.
        }
    }
    if (RowCount() < 2 && ShowMessage)
        ShowMessage(QStringLiteral("Rowsize too small"));
    if (OnSizeChanged)
        OnSizeChanged(this, OldColCount, OldRowCount);
}

int TSortGrid::ScrollPage(Qt::Orientation orientation) const
{
    if (!m_proportionalScrollBars)
        return TMyStringGrid::ScrollPage(orientation);
    // The visible share of the rows or columns, laid over the bar's range.
    const QScrollBar *bar =
        orientation == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar();
    const double cells = orientation == Qt::Vertical ? RowCount() : ColCount();
    const double visible = orientation == Qt::Vertical ? VisibleRowCount() + 1 : VisibleColCount();
    const double range = bar->maximum() - bar->minimum();
    return std::max(1, int(std::lround(visible / cells * (range + 1))));
}

void TSortGrid::ColWidthsChanged()
{
    TMyStringGrid::ColWidthsChanged();
    if (OnColumnWidthsChanged)
        OnColumnWidthsChanged(this);
}

void TSortGrid::RowHeightsChanged()
{
    TMyStringGrid::RowHeightsChanged();
    if (OnRowHeightsChanged)
        OnRowHeightsChanged(this);
}
