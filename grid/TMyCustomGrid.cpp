#include "TMyCustomGrid.h"

#include "TInplaceEdit.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {
// A press this close to a column's border in the fixed rows grabs the border.
constexpr int kColSizingZone = 5;
constexpr int kMinColWidthWhileSizing = 1;
// Rows are low: a narrower zone keeps row sizing from swallowing clicks.
constexpr int kRowSizingZone = 3;
constexpr int kMinRowHeightWhileSizing = 1;
const QColor kFixedLineColor(0x80, 0x80, 0x80);
const QColor kDataLineColor(0xC0, 0xC0, 0xC0);
} // namespace

TMyCustomGrid::TMyCustomGrid(QWidget *parent) : QAbstractScrollArea(parent)
{
    m_fixedColor = palette().color(QPalette::Button);
    m_color = palette().color(QPalette::Base);
    m_colWidths.assign(m_colCount, m_defaultColWidth);
    m_rowHeights.assign(m_rowCount, m_defaultRowHeight);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    m_editor = new TInplaceEdit(this);
    connect(m_editor, &TInplaceEdit::GridKey, this, [this](QKeyEvent *event) { EditorKey(event); });
    connect(m_editor, &QLineEdit::editingFinished, this, [this] {
        // The editor lost the focus to something else: keep what was typed.
        if (m_editorActive && !m_editor->hasFocus())
            EditorLeft();
    });
    UpdateScrollRange();
}

TMyCustomGrid::~TMyCustomGrid()
{
    // The editor outlives this part of the grid (QWidget deletes it later) and may still
    // report losing the focus: nobody is left to hear it.
    m_editor->disconnect(this);
    if (m_nowUpdating)
        QGuiApplication::restoreOverrideCursor();
}

// ---- counts and sizes ------------------------------------------------------------

void TMyCustomGrid::SetColCount(int value)
{
    ChangeCounts(std::max(1, value), m_rowCount);
}

void TMyCustomGrid::SetRowCount(int value)
{
    ChangeCounts(m_colCount, std::max(1, value));
}

void TMyCustomGrid::ChangeCounts(int newColCount, int newRowCount)
{
    if (newColCount == m_colCount && newRowCount == m_rowCount)
        return;
    const int oldColCount = m_colCount;
    const int oldRowCount = m_rowCount;
    const int oldFixedCols = m_fixedCols;
    const int oldFixedRows = m_fixedRows;
    m_colCount = newColCount;
    m_rowCount = newRowCount;
    // Too few cells lower the fixed counts for a while; they come back with the cells, or a
    // title row would turn into a data row for good after one empty list.
    m_fixedCols = std::min(m_wantedFixedCols, m_colCount - 1);
    m_fixedRows = std::min(m_wantedFixedRows, m_rowCount - 1);
    // The size tables always match the counts, so no index can leave them, even inside
    // the update bracket; the rest of the adjustment waits for EndUpdate there.
    m_colWidths.resize(size_t(m_colCount), m_defaultColWidth);
    m_rowHeights.resize(size_t(m_rowCount), m_defaultRowHeight);
    if (m_nowUpdating)
        return;
    try {
        AdjustToCounts(oldColCount, oldRowCount, true);
    } catch (...) {
        m_colCount = oldColCount;
        m_rowCount = oldRowCount;
        m_fixedCols = oldFixedCols;
        m_fixedRows = oldFixedRows;
        AdjustToCounts(newColCount, newRowCount, false);
        throw;
    }
}

void TMyCustomGrid::AdjustToCounts(int oldColCount, int oldRowCount, bool notify, bool repaintAll)
{
    m_colWidths.resize(m_colCount, m_defaultColWidth);
    m_rowHeights.resize(m_rowCount, m_defaultRowHeight);
    ClampCurrent();
    UpdateScrollRange();
    UpdateEditor();
    if (repaintAll)
        viewport()->update();
    if (notify && (oldColCount != m_colCount || oldRowCount != m_rowCount))
        SizeChanged(oldColCount, oldRowCount);
}

void TMyCustomGrid::ClampCurrent()
{
    auto clampCoord = [this](TGridCoord &c) {
        c.X = std::clamp(c.X, m_fixedCols, m_colCount - 1);
        c.Y = std::clamp(c.Y, m_fixedRows, m_rowCount - 1);
    };
    clampCoord(m_current);
    clampCoord(m_anchor);
    m_topLeft.X = std::clamp(m_topLeft.X, m_fixedCols, std::max(m_fixedCols, MaxLeftCol()));
    m_topLeft.Y = std::clamp(m_topLeft.Y, m_fixedRows, std::max(m_fixedRows, MaxTopRow()));
}

void TMyCustomGrid::SetFixedCols(int value)
{
    value = std::clamp(value, 0, m_colCount - 1);
    m_wantedFixedCols = value;
    if (value == m_fixedCols)
        return;
    m_fixedCols = value;
    // The scrollable part starts again at its first cell.
    m_topLeft.X = value;
    m_current.X = value;
    m_anchor.X = value;
    ClampCurrent();
    UpdateScrollRange();
    viewport()->update();
}

void TMyCustomGrid::SetFixedRows(int value)
{
    value = std::clamp(value, 0, m_rowCount - 1);
    m_wantedFixedRows = value;
    if (value == m_fixedRows)
        return;
    m_fixedRows = value;
    // The scrollable part starts again at its first cell.
    m_topLeft.Y = value;
    m_current.Y = value;
    m_anchor.Y = value;
    ClampCurrent();
    UpdateScrollRange();
    viewport()->update();
}

void TMyCustomGrid::SetDefaultColWidth(int value)
{
    m_defaultColWidth = value;
    std::fill(m_colWidths.begin(), m_colWidths.end(), value);
    ColWidthsChanged();
}

void TMyCustomGrid::SetDefaultRowHeight(int value)
{
    m_defaultRowHeight = value;
    std::fill(m_rowHeights.begin(), m_rowHeights.end(), value);
    RowHeightsChanged();
}

int TMyCustomGrid::ColWidths(int index) const
{
    if (index < 0 || index >= m_colCount)
        return m_defaultColWidth;
    return m_colWidths[index];
}

void TMyCustomGrid::SetColWidths(int index, int value)
{
    if (index < 0 || index >= m_colCount || m_colWidths[index] == value)
        return;
    m_colWidths[index] = value;
    ColWidthsChanged();
}

int TMyCustomGrid::RowHeights(int index) const
{
    if (index < 0 || index >= m_rowCount)
        return m_defaultRowHeight;
    return m_rowHeights[index];
}

void TMyCustomGrid::SetRowHeights(int index, int value)
{
    if (index < 0 || index >= m_rowCount || m_rowHeights[index] == value)
        return;
    m_rowHeights[index] = value;
    RowHeightsChanged();
}

void TMyCustomGrid::SetGridLineWidth(int value)
{
    value = std::max(0, value);
    if (value == m_gridLineWidth)
        return;
    m_gridLineWidth = value;
    ColWidthsChanged();
}

void TMyCustomGrid::ColWidthsChanged()
{
    ClampCurrent();
    UpdateScrollRange();
    UpdateEditor();
    viewport()->update();
}

void TMyCustomGrid::RowHeightsChanged()
{
    ClampCurrent();
    UpdateScrollRange();
    UpdateEditor();
    viewport()->update();
}

void TMyCustomGrid::SizeChanged(int, int) {}

void TMyCustomGrid::SetOptions(TGridOptions value)
{
    if (value == m_options)
        return;
    m_options = value;
    if (!(m_options & goEditing))
        HideEditor();
    else if (m_options & goAlwaysShowEditor)
        ShowEditor();
    viewport()->update();
}

void TMyCustomGrid::SetFixedColor(const QColor &value)
{
    if (value == m_fixedColor)
        return;
    m_fixedColor = value;
    viewport()->update();
}

void TMyCustomGrid::SetColor(const QColor &value)
{
    if (value == m_color)
        return;
    m_color = value;
    viewport()->update();
}

void TMyCustomGrid::SetScrollBars(TScrollStyle value)
{
    m_scrollBars = value;
    const bool horz = value == ssHorizontal || value == ssBoth;
    const bool vert = value == ssVertical || value == ssBoth;
    setHorizontalScrollBarPolicy(horz ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    UpdateScrollRange();
}

// ---- geometry -----------------------------------------------------------------------

int TMyCustomGrid::ColumnExtent(int ACol) const
{
    const int width = m_colWidths[ACol];
    return width < 0 ? 0 : width + m_gridLineWidth;
}

int TMyCustomGrid::RowExtent(int ARow) const
{
    const int height = m_rowHeights[ARow];
    return height < 0 ? 0 : height + m_gridLineWidth;
}

int TMyCustomGrid::FixedWidth() const
{
    int width = 0;
    for (int c = 0; c < m_fixedCols; ++c)
        width += ColumnExtent(c);
    return width;
}

int TMyCustomGrid::FixedHeight() const
{
    int height = 0;
    for (int r = 0; r < m_fixedRows; ++r)
        height += RowExtent(r);
    return height;
}

int TMyCustomGrid::ColumnLeft(int ACol) const
{
    if (ACol < 0 || ACol >= m_colCount)
        return -1;
    int x = 0;
    if (ACol < m_fixedCols) {
        for (int c = 0; c < ACol; ++c)
            x += ColumnExtent(c);
        return x;
    }
    if (ACol < m_topLeft.X)
        return -1;
    // Cells past the window's edge have no place on screen: stop counting there.
    const int limit = viewport()->width();
    x = FixedWidth();
    for (int c = m_topLeft.X; c < ACol && x < limit; ++c)
        x += ColumnExtent(c);
    return x < limit ? x : -1;
}

int TMyCustomGrid::RowTop(int ARow) const
{
    if (ARow < 0 || ARow >= m_rowCount)
        return -1;
    int y = 0;
    if (ARow < m_fixedRows) {
        for (int r = 0; r < ARow; ++r)
            y += RowExtent(r);
        return y;
    }
    if (ARow < m_topLeft.Y)
        return -1;
    const int limit = viewport()->height();
    y = FixedHeight();
    for (int r = m_topLeft.Y; r < ARow && y < limit; ++r)
        y += RowExtent(r);
    return y < limit ? y : -1;
}

QRect TMyCustomGrid::CellRect(int ACol, int ARow) const
{
    const int left = ColumnLeft(ACol);
    const int top = RowTop(ARow);
    if (left < 0 || top < 0 || m_colWidths[ACol] < 0 || m_rowHeights[ARow] < 0)
        return QRect();
    if (left >= viewport()->width() || top >= viewport()->height())
        return QRect();
    return QRect(left, top, m_colWidths[ACol], m_rowHeights[ARow]);
}

TGridCoord TMyCustomGrid::MouseToCell(int X, int Y) const
{
    TGridCoord cell;
    if (X < 0 || Y < 0 || X >= viewport()->width() || Y >= viewport()->height())
        return cell;
    auto locate = [](int pos, int fixedCount, int first, int count, auto extent) {
        int edge = 0;
        for (int i = 0; i < fixedCount; ++i) {
            edge += extent(i);
            if (pos < edge)
                return i;
        }
        for (int i = first; i < count; ++i) {
            edge += extent(i);
            if (pos < edge)
                return i;
        }
        return -1;
    };
    cell.X =
        locate(X, m_fixedCols, m_topLeft.X, m_colCount, [this](int c) { return ColumnExtent(c); });
    cell.Y =
        locate(Y, m_fixedRows, m_topLeft.Y, m_rowCount, [this](int r) { return RowExtent(r); });
    if (cell.X < 0 || cell.Y < 0)
        return TGridCoord();
    return cell;
}

int TMyCustomGrid::VisibleColCount() const
{
    const int room = viewport()->width() - FixedWidth();
    int used = 0;
    int count = 0;
    for (int c = m_topLeft.X; c < m_colCount; ++c) {
        used += ColumnExtent(c);
        if (used > room)
            break;
        ++count;
    }
    return count;
}

int TMyCustomGrid::VisibleRowCount() const
{
    const int room = viewport()->height() - FixedHeight();
    int used = 0;
    int count = 0;
    for (int r = m_topLeft.Y; r < m_rowCount; ++r) {
        used += RowExtent(r);
        if (used > room)
            break;
        ++count;
    }
    return count;
}

int TMyCustomGrid::MaxLeftCol() const
{
    const int room = viewport()->width() - FixedWidth();
    int used = 0;
    int first = m_colCount;
    for (int c = m_colCount - 1; c >= m_fixedCols; --c) {
        used += ColumnExtent(c);
        if (used > room)
            break;
        first = c;
    }
    return std::max(m_fixedCols, std::min(first, m_colCount - 1));
}

int TMyCustomGrid::MaxTopRow() const
{
    const int room = viewport()->height() - FixedHeight();
    int used = 0;
    int first = m_rowCount;
    for (int r = m_rowCount - 1; r >= m_fixedRows; --r) {
        used += RowExtent(r);
        if (used > room)
            break;
        first = r;
    }
    return std::max(m_fixedRows, std::min(first, m_rowCount - 1));
}

// ---- scrolling ----------------------------------------------------------------------

void TMyCustomGrid::UpdateScrollRange()
{
    m_syncingScrollBars = true;
    horizontalScrollBar()->setRange(0, MaxLeftCol() - m_fixedCols);
    horizontalScrollBar()->setPageStep(ScrollPage(Qt::Horizontal));
    horizontalScrollBar()->setValue(m_topLeft.X - m_fixedCols);
    verticalScrollBar()->setRange(0, MaxTopRow() - m_fixedRows);
    verticalScrollBar()->setPageStep(ScrollPage(Qt::Vertical));
    verticalScrollBar()->setValue(m_topLeft.Y - m_fixedRows);
    m_syncingScrollBars = false;
}

int TMyCustomGrid::ScrollPage(Qt::Orientation orientation) const
{
    return std::max(1, orientation == Qt::Horizontal ? VisibleColCount() : VisibleRowCount());
}

void TMyCustomGrid::scrollContentsBy(int, int)
{
    if (m_syncingScrollBars)
        return;
    SetTopLeft(m_fixedCols + horizontalScrollBar()->value(),
               m_fixedRows + verticalScrollBar()->value());
}

void TMyCustomGrid::SetTopLeft(int leftCol, int topRow)
{
    leftCol = std::clamp(leftCol, m_fixedCols, std::max(m_fixedCols, MaxLeftCol()));
    topRow = std::clamp(topRow, m_fixedRows, std::max(m_fixedRows, MaxTopRow()));
    if (leftCol == m_topLeft.X && topRow == m_topLeft.Y)
        return;
    m_topLeft = {leftCol, topRow};
    UpdateScrollRange();
    UpdateEditor();
    viewport()->update();
    TopLeftChanged();
}

void TMyCustomGrid::TopLeftChanged()
{
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

void TMyCustomGrid::SetLeftCol(int value)
{
    SetTopLeft(value, m_topLeft.Y);
}

void TMyCustomGrid::SetTopRow(int value)
{
    SetTopLeft(m_topLeft.X, value);
}

void TMyCustomGrid::ScrollIntoView(int ACol, int ARow)
{
    // The first scrollable index that shows `target` whole, moving as little as possible.
    auto firstShowing = [](int first, int target, int fixedCount, int room, auto extent) {
        if (target < fixedCount)
            return first;
        if (target < first)
            return target;
        // Upward from the target while the cells still fit: the cost is one screenful, not
        // the distance from the old first cell (Ctrl+End in a long list).
        int start = target;
        int used = extent(target);
        while (start > first && used + extent(start - 1) <= room) {
            --start;
            used += extent(start);
        }
        return start;
    };
    const int left =
        firstShowing(m_topLeft.X, ACol, m_fixedCols, viewport()->width() - FixedWidth(),
                     [this](int c) { return ColumnExtent(c); });
    const int top =
        firstShowing(m_topLeft.Y, ARow, m_fixedRows, viewport()->height() - FixedHeight(),
                     [this](int r) { return RowExtent(r); });
    SetTopLeft(left, top);
}

void TMyCustomGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    ClampCurrent();
    UpdateScrollRange();
    UpdateEditor();
}

// ---- current cell and selection -----------------------------------------------------

bool TMyCustomGrid::SelectCell(int ACol, int ARow)
{
    bool canSelect = true;
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, canSelect);
    return canSelect;
}

TGridRect TMyCustomGrid::Selection() const
{
    if (m_options & goRowSelect)
        return {m_fixedCols, std::min(m_anchor.Y, m_current.Y), m_colCount - 1,
                std::max(m_anchor.Y, m_current.Y)};
    if (m_options & goRangeSelect)
        return {std::min(m_anchor.X, m_current.X), std::min(m_anchor.Y, m_current.Y),
                std::max(m_anchor.X, m_current.X), std::max(m_anchor.Y, m_current.Y)};
    return {m_current.X, m_current.Y, m_current.X, m_current.Y};
}

void TMyCustomGrid::SetSelection(const TGridRect &value)
{
    const TGridCoord anchor{std::clamp(value.Left, m_fixedCols, m_colCount - 1),
                            std::clamp(value.Top, m_fixedRows, m_rowCount - 1)};
    MoveColRow(value.Right, value.Bottom, true, true);
    if (m_options & (goRangeSelect | goRowSelect)) {
        m_anchor = anchor;
        viewport()->update();
    }
}

void TMyCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show)
{
    ACol = std::clamp(ACol, m_fixedCols, m_colCount - 1);
    ARow = std::clamp(ARow, m_fixedRows, m_rowCount - 1);
    if (!SelectCell(ACol, ARow))
        return;
    FocusCell(ACol, ARow, MoveAnchor, Show);
}

void TMyCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor, bool Show)
{
    ACol = std::clamp(ACol, m_fixedCols, m_colCount - 1);
    ARow = std::clamp(ARow, m_fixedRows, m_rowCount - 1);
    const bool editing = m_editorActive;
    if (editing && (ACol != m_current.X || ARow != m_current.Y)) {
        CommitEditor();
        HideEditor();
    }
    const bool selectionWasRange =
        Selection() != TGridRect{m_current.X, m_current.Y, m_current.X, m_current.Y};
    InvalidateCell(m_current.X, m_current.Y);
    m_current = {ACol, ARow};
    if (MoveAnchor || !(m_options & (goRangeSelect | goRowSelect)))
        m_anchor = m_current;
    if (selectionWasRange || (m_options & (goRangeSelect | goRowSelect)))
        viewport()->update();
    else
        InvalidateCell(ACol, ARow);
    if (Show)
        ScrollIntoView(ACol, ARow);
    if ((m_options & goEditing) && (m_options & goAlwaysShowEditor))
        ShowEditor();
}

void TMyCustomGrid::SetCol(int value)
{
    if (value != m_current.X)
        MoveColRow(value, m_current.Y, true, true);
}

void TMyCustomGrid::SetRow(int value)
{
    if (value != m_current.Y)
        MoveColRow(m_current.X, value, true, true);
}

// ---- moving and deleting ---------------------------------------------------------------

void TMyCustomGrid::MoveColumn(int FromIndex, int ToIndex)
{
    if (FromIndex == ToIndex || FromIndex < 0 || ToIndex < 0 || FromIndex >= m_colCount ||
        ToIndex >= m_colCount)
        return;
    const int width = m_colWidths[FromIndex];
    m_colWidths.erase(m_colWidths.begin() + FromIndex);
    m_colWidths.insert(m_colWidths.begin() + ToIndex, width);
    ColumnMoved(FromIndex, ToIndex);
    ColWidthsChanged();
}

void TMyCustomGrid::MoveRow(int FromIndex, int ToIndex)
{
    if (FromIndex == ToIndex || FromIndex < 0 || ToIndex < 0 || FromIndex >= m_rowCount ||
        ToIndex >= m_rowCount)
        return;
    const int height = m_rowHeights[FromIndex];
    m_rowHeights.erase(m_rowHeights.begin() + FromIndex);
    m_rowHeights.insert(m_rowHeights.begin() + ToIndex, height);
    RowMoved(FromIndex, ToIndex);
    RowHeightsChanged();
}

void TMyCustomGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    if (OnColumnMoved)
        OnColumnMoved(this, FromIndex, ToIndex);
}

void TMyCustomGrid::RowMoved(int FromIndex, int ToIndex)
{
    if (OnRowMoved)
        OnRowMoved(this, FromIndex, ToIndex);
}

void TMyCustomGrid::DeleteColumn(int ACol)
{
    if (ACol < 0 || ACol >= m_colCount)
        return;
    MoveColumn(ACol, m_colCount - 1);
    SetColCount(m_colCount - 1);
}

void TMyCustomGrid::DeleteRow(int ARow)
{
    if (ARow < 0 || ARow >= m_rowCount)
        return;
    MoveRow(ARow, m_rowCount - 1);
    SetRowCount(m_rowCount - 1);
}

// ---- invalidation ---------------------------------------------------------------------

void TMyCustomGrid::InvalidateCell(int ACol, int ARow)
{
    const QRect rect = CellRect(ACol, ARow);
    if (!rect.isNull())
        viewport()->update(rect.adjusted(0, 0, m_gridLineWidth, m_gridLineWidth));
}

void TMyCustomGrid::InvalidateCol(int ACol)
{
    const int left = ColumnLeft(ACol);
    if (left >= 0)
        viewport()->update(QRect(left, 0, ColumnExtent(ACol), viewport()->height()));
}

void TMyCustomGrid::InvalidateRow(int ARow)
{
    const int top = RowTop(ARow);
    if (top >= 0)
        viewport()->update(QRect(0, top, viewport()->width(), RowExtent(ARow)));
}

void TMyCustomGrid::InvalidateGrid()
{
    viewport()->update();
}

// ---- update bracket ---------------------------------------------------------------------

void TMyCustomGrid::BeginUpdate()
{
    if (!m_nowUpdating) {
        m_nowUpdating = true;
        m_colCountAtBegin = m_colCount;
        m_rowCountAtBegin = m_rowCount;
        m_rowsChangedInUpdate.clear();
        m_repaintAllAtEndUpdate = false;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    if (OnBeginUpdate)
        OnBeginUpdate(this);
}

void TMyCustomGrid::EndUpdate()
{
    if (!m_nowUpdating) {
        AdjustToCounts(m_colCount, m_rowCount, false);
        return;
    }
    m_nowUpdating = false;
    QGuiApplication::restoreOverrideCursor();
    // Only what changed is repainted: re-sorting the standings after a lap moves a row or
    // two, and repainting every cell would keep the operator's key waiting.
    const bool repaintAll = m_repaintAllAtEndUpdate || m_colCount != m_colCountAtBegin ||
                            m_rowCount != m_rowCountAtBegin;
    if (!repaintAll) {
        for (const int row : m_rowsChangedInUpdate)
            InvalidateRow(row);
    }
    m_rowsChangedInUpdate.clear();
    // Counts changed inside the bracket get their adjustment and one notification now.
    AdjustToCounts(m_colCountAtBegin, m_rowCountAtBegin, true, repaintAll);
}

void TMyCustomGrid::RowContentsChanged(int ARow)
{
    constexpr size_t kMostRowsTracked = 64;
    if (!m_nowUpdating)
        InvalidateRow(ARow);
    else if (m_rowsChangedInUpdate.size() >= kMostRowsTracked)
        m_repaintAllAtEndUpdate = true;
    else if (std::find(m_rowsChangedInUpdate.begin(), m_rowsChangedInUpdate.end(), ARow) ==
             m_rowsChangedInUpdate.end())
        m_rowsChangedInUpdate.push_back(ARow);
}

// ---- painting ---------------------------------------------------------------------------

void TMyCustomGrid::paintEvent(QPaintEvent *event)
{
    // Data cells painted now are blank (the bracket hides them): all must come back.
    if (m_nowUpdating)
        m_repaintAllAtEndUpdate = true;
    QPainter painter(viewport());
    PaintCells(painter, event->region());
}

void TMyCustomGrid::PaintCells(QPainter &painter, const QRegion &area)
{
    const int width = viewport()->width();
    const int height = viewport()->height();
    const TGridRect selection = Selection();
    const bool focused = hasFocus();
    const bool ownsCell = DrawCellOwnsCell();
    int bottom = 0;
    int right = 0;
    auto paintRow = [&](int r, int y) {
        int x = 0;
        auto paintCell = [&](int c) {
            const int w = m_colWidths[c];
            if (w < 0)
                return;
            const QRect rect(x, y, w, m_rowHeights[r]);
            const bool fixed = c < m_fixedCols || r < m_fixedRows;
            x += ColumnExtent(c);
            right = std::max(right, x);
            if (!area.intersects(rect.adjusted(0, 0, m_gridLineWidth, m_gridLineWidth)))
                return;
            TGridDrawState state;
            if (fixed) {
                state |= gdFixed;
            } else {
                if (focused && c == m_current.X && r == m_current.Y)
                    state |= gdFocused;
                if (c >= selection.Left && c <= selection.Right && r >= selection.Top &&
                    r <= selection.Bottom)
                    state |= gdSelected;
            }
            PaintGridLines(painter, rect, fixed);
            if ((state & gdFocused) && m_editorActive)
                return;
            if (m_defaultDrawing) {
                m_canvas.Font.QFont::operator=(font());
                m_canvas.Font.Color = palette().color(QPalette::Text);
                m_canvas.Brush = QBrush(fixed ? m_fixedColor : m_color);
                if ((state & gdSelected) &&
                    (!(state & gdFocused) || (m_options & (goDrawFocusSelected | goRowSelect)))) {
                    m_canvas.Brush = QBrush(palette().color(QPalette::Highlight));
                    m_canvas.Font.Color = palette().color(QPalette::HighlightedText);
                }
                if (!ownsCell)
                    painter.fillRect(rect, m_canvas.Brush);
            }
            if (ownsCell) {
                DrawCell(painter, c, r, rect, state);
            } else {
                painter.save();
                painter.setClipRect(rect);
                DrawCell(painter, c, r, rect, state);
                painter.restore();
            }
            if (!m_defaultDrawing)
                return;
            if (fixed) {
                // The raised edge, one pixel wide: light top and left, then dark bottom and
                // right over the corners.
                const QColor light = palette().color(QPalette::Light);
                const QColor dark = palette().color(QPalette::Mid);
                painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), light);
                painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), light);
                painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), dark);
                painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), dark);
            } else if ((state & gdFocused) && !(m_options & goRowSelect) &&
                       !((m_options & goEditing) && (m_options & goAlwaysShowEditor))) {
                painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(rect.adjusted(0, 0, -1, -1));
            }
        };
        for (int c = 0; c < m_fixedCols && x < width; ++c)
            paintCell(c);
        for (int c = m_topLeft.X; c < m_colCount && x < width; ++c)
            paintCell(c);
    };
    int y = 0;
    auto paintRowAt = [&](int r) {
        if (m_rowHeights[r] < 0)
            return;
        paintRow(r, y);
        y += RowExtent(r);
        bottom = y;
    };
    for (int r = 0; r < m_fixedRows && y < height; ++r)
        paintRowAt(r);
    for (int r = m_topLeft.Y; r < m_rowCount && y < height; ++r)
        paintRowAt(r);
    // The area right of and below the cells.
    painter.fillRect(QRect(right, 0, width - right, height), m_color);
    painter.fillRect(QRect(0, bottom, right, height - bottom), m_color);
}

void TMyCustomGrid::PaintGridLines(QPainter &painter, const QRect &cell, bool fixed)
{
    if (m_gridLineWidth <= 0)
        return;
    const QColor lineColor = fixed ? kFixedLineColor : kDataLineColor;
    const bool vert = m_options & (fixed ? goFixedVertLine : goVertLine);
    const bool horz = m_options & (fixed ? goFixedHorzLine : goHorzLine);
    if (vert)
        painter.fillRect(
            QRect(cell.right() + 1, cell.top(), m_gridLineWidth, cell.height() + m_gridLineWidth),
            lineColor);
    if (horz)
        painter.fillRect(
            QRect(cell.left(), cell.bottom() + 1, cell.width() + m_gridLineWidth, m_gridLineWidth),
            lineColor);
}

// ---- editing -----------------------------------------------------------------------------

QString TMyCustomGrid::GetEditText(int, int)
{
    return QString();
}

void TMyCustomGrid::SetEditText(int, int, const QString &) {}

bool TMyCustomGrid::CanEditShow() const
{
    return (m_options & goEditing) && !(m_options & goRowSelect) && !m_nowUpdating &&
           m_current.X >= m_fixedCols && m_current.Y >= m_fixedRows;
}

void TMyCustomGrid::EditorKey(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        HideEditor();
        return;
    }
    CommitEditor();
    HideEditor();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        keyPressEvent(event);
}

void TMyCustomGrid::EditorShowing() {}

void TMyCustomGrid::EditorLeft()
{
    CommitEditor();
    HideEditor();
}

bool TMyCustomGrid::EditorMode() const
{
    return m_editorActive;
}

void TMyCustomGrid::SetEditorMode(bool value)
{
    if (value)
        ShowEditor();
    else {
        CommitEditor();
        HideEditor();
    }
}

void TMyCustomGrid::ShowEditor()
{
    if (!CanEditShow())
        return;
    const QRect rect = CellRect(m_current.X, m_current.Y);
    if (rect.isNull())
        return;
    if (!m_editorActive) {
        m_editor->setText(GetEditText(m_current.X, m_current.Y));
        m_editor->selectAll();
        EditorShowing();
    }
    m_editorActive = true;
    m_editor->setFont(font());
    m_editor->setGeometry(rect);
    m_editor->show();
    m_editor->setFocus();
    InvalidateCell(m_current.X, m_current.Y);
}

void TMyCustomGrid::HideEditor()
{
    if (!m_editorActive)
        return;
    const bool hadFocus = m_editor->hasFocus();
    m_editorActive = false;
    m_editor->hide();
    if (hadFocus)
        setFocus();
    InvalidateCell(m_current.X, m_current.Y);
}

void TMyCustomGrid::MoveOpenEditor(int ACol, int ARow)
{
    ACol = std::clamp(ACol, m_fixedCols, m_colCount - 1);
    ARow = std::clamp(ARow, m_fixedRows, m_rowCount - 1);
    if (!m_editorActive || (ACol == m_current.X && ARow == m_current.Y))
        return;
    InvalidateCell(m_current.X, m_current.Y);
    m_current = m_anchor = {ACol, ARow};
    viewport()->update();
    UpdateEditor();
}

void TMyCustomGrid::CommitEditor()
{
    if (m_editorActive)
        SetEditText(m_current.X, m_current.Y, m_editor->text());
}

void TMyCustomGrid::UpdateEditor()
{
    if (!m_editorActive)
        return;
    const QRect rect = CellRect(m_current.X, m_current.Y);
    if (rect.isNull())
        m_editor->hide();
    else {
        m_editor->setGeometry(rect);
        m_editor->show();
    }
}

// ---- keyboard ------------------------------------------------------------------------------

void TMyCustomGrid::MoveCurrentBy(int dCol, int dRow)
{
    int c = m_current.X + dCol;
    while (dCol != 0 && c >= m_fixedCols && c < m_colCount && m_colWidths[c] < 0)
        c += dCol;
    if (c < m_fixedCols || c >= m_colCount)
        c = m_current.X;
    const int r = std::clamp(m_current.Y + dRow, m_fixedRows, m_rowCount - 1);
    const bool extend =
        (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier) && (m_options & goRangeSelect);
    MoveColRow(c, r, !extend, true);
}

void TMyCustomGrid::MoveToNextCell(bool backward)
{
    int c = m_current.X;
    int r = m_current.Y;
    for (int step = 0; step < m_colCount * m_rowCount; ++step) {
        c += backward ? -1 : 1;
        if (c >= m_colCount) {
            c = m_fixedCols;
            r = r + 1 >= m_rowCount ? m_fixedRows : r + 1;
        } else if (c < m_fixedCols) {
            c = m_colCount - 1;
            r = r - 1 < m_fixedRows ? m_rowCount - 1 : r - 1;
        }
        if (m_colWidths[c] >= 0)
            break;
    }
    MoveColRow(c, r, true, true);
}

void TMyCustomGrid::keyPressEvent(QKeyEvent *event)
{
    if (m_nowUpdating)
        return;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int page = std::max(1, VisibleRowCount());
    switch (event->key()) {
    case Qt::Key_Left:
        MoveCurrentBy(-1, 0);
        break;
    case Qt::Key_Right:
        MoveCurrentBy(1, 0);
        break;
    case Qt::Key_Up:
        MoveCurrentBy(0, -1);
        break;
    case Qt::Key_Down:
        MoveCurrentBy(0, 1);
        break;
    case Qt::Key_PageUp:
        MoveCurrentBy(0, -page);
        break;
    case Qt::Key_PageDown:
        MoveCurrentBy(0, page);
        break;
    case Qt::Key_Home:
        if (ctrl)
            MoveColRow(m_fixedCols, m_fixedRows, true, true);
        else
            MoveColRow(m_fixedCols, m_current.Y, true, true);
        break;
    case Qt::Key_End:
        if (ctrl)
            MoveColRow(m_colCount - 1, m_rowCount - 1, true, true);
        else
            MoveColRow(m_colCount - 1, m_current.Y, true, true);
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!(m_options & goTabs)) {
            event->ignore();
            return;
        }
        MoveToNextCell(event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!m_editorActive && OnEnterKey && OnEnterKey())
            break;
        ShowEditor();
        break;
    case Qt::Key_F2:
        ShowEditor();
        break;
    default: {
        const QString text = event->text();
        if (m_typingOpensEditor && CanEditShow() && !text.isEmpty() && text.at(0).isPrint() &&
            !ctrl) {
            ShowEditor();
            if (m_editorActive) {
                m_editor->setText(text);
                return;
            }
        }
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    }
    event->accept();
}

bool TMyCustomGrid::event(QEvent *event)
{
    // Tab navigates inside the grid when goTabs is set instead of leaving it.
    if (event->type() == QEvent::KeyPress && (m_options & goTabs)) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

// ---- mouse -------------------------------------------------------------------------------

bool TMyCustomGrid::ColumnBorderAt(int X, int Y, int &column) const
{
    if (Y < 0 || Y >= FixedHeight())
        return false;
    for (int c = 0; c < m_colCount; ++c) {
        const int left = ColumnLeft(c);
        if (left < 0 || m_colWidths[c] < 0)
            continue;
        const int rightEdge = left + m_colWidths[c];
        if (std::abs(X - rightEdge) <= kColSizingZone) {
            column = c;
            return true;
        }
    }
    return false;
}

void TMyCustomGrid::mousePressEvent(QMouseEvent *event)
{
    if (m_nowUpdating)
        return;
    const QPoint pos = event->position().toPoint();
    m_mouseDownPos = pos;
    if (!hasFocus() && !m_editorActive)
        setFocus(Qt::MouseFocusReason);
    int border = -1;
    if (event->button() == Qt::LeftButton && (m_options & goColSizing) &&
        ColumnBorderAt(pos.x(), pos.y(), border)) {
        m_sizingCol = border;
        m_sizingStartX = pos.x();
        m_sizingStartWidth = m_colWidths[border];
        return;
    }
    if (event->button() == Qt::LeftButton && (m_options & goRowSizing) &&
        RowBorderAt(pos.x(), pos.y(), border)) {
        m_sizingRow = border;
        m_sizingStartY = pos.y();
        m_sizingStartHeight = m_rowHeights[border];
        return;
    }
    const TGridCoord cell = MouseToCell(pos.x(), pos.y());
    if (event->button() == Qt::LeftButton && cell.Y >= 0 && cell.Y < m_fixedRows &&
        cell.X >= m_fixedCols && (m_options & goColMoving))
        m_movingCol = cell.X;
    if (event->button() == Qt::LeftButton && cell.X >= 0 && cell.X < m_fixedCols &&
        cell.Y >= m_fixedRows && (m_options & goRowMoving))
        m_movingRow = cell.Y;
    if (cell.X < m_fixedCols || cell.Y < m_fixedRows)
        return;
    if (event->button() == Qt::LeftButton) {
        const bool wasCurrent = cell.X == m_current.X && cell.Y == m_current.Y;
        const bool extend =
            (event->modifiers() & Qt::ShiftModifier) && (m_options & (goRangeSelect | goRowSelect));
        MoveColRow(cell.X, cell.Y, !extend, true);
        m_selecting = true;
        if (wasCurrent && (m_options & goEditing))
            ShowEditor();
    } else if (event->button() == Qt::RightButton &&
               (cell.X != m_current.X || cell.Y != m_current.Y)) {
        // A menu opened by the right button acts on the cell it was opened on.
        MoveColRow(cell.X, cell.Y, true, true);
    }
}

void TMyCustomGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (m_sizingCol >= 0) {
        SetColWidths(m_sizingCol, std::max(kMinColWidthWhileSizing,
                                           m_sizingStartWidth + pos.x() - m_sizingStartX));
        return;
    }
    if (m_sizingRow >= 0) {
        SetRowHeights(m_sizingRow, std::max(kMinRowHeightWhileSizing,
                                            m_sizingStartHeight + pos.y() - m_sizingStartY));
        return;
    }
    if (m_movingCol >= 0 || m_movingRow >= 0) {
        viewport()->setCursor(Qt::ClosedHandCursor);
        return;
    }
    if (m_selecting && (event->buttons() & Qt::LeftButton) &&
        (m_options & (goRangeSelect | goRowSelect))) {
        const TGridCoord cell = MouseToCell(pos.x(), pos.y());
        if (cell.X >= m_fixedCols && cell.Y >= m_fixedRows &&
            (cell.X != m_current.X || cell.Y != m_current.Y))
            MoveColRow(cell.X, cell.Y, false, true);
        return;
    }
    int border = -1;
    if ((m_options & goColSizing) && ColumnBorderAt(pos.x(), pos.y(), border))
        viewport()->setCursor(Qt::SplitHCursor);
    else if ((m_options & goRowSizing) && RowBorderAt(pos.x(), pos.y(), border))
        viewport()->setCursor(Qt::SplitVCursor);
    else
        viewport()->setCursor(Qt::ArrowCursor);
}

void TMyCustomGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const int movingCol = m_movingCol;
    const int movingRow = m_movingRow;
    m_sizingCol = -1;
    m_sizingRow = -1;
    m_movingCol = -1;
    m_movingRow = -1;
    m_selecting = false;
    if (movingCol < 0 && movingRow < 0)
        return;
    viewport()->setCursor(Qt::ArrowCursor);
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseToCell(pos.x(), pos.y());
    if (movingCol >= 0 && cell.X >= m_fixedCols && cell.X != movingCol)
        MoveColumn(movingCol, cell.X);
    if (movingRow >= 0 && cell.Y >= m_fixedRows && cell.Y != movingRow)
        MoveRow(movingRow, cell.Y);
}

bool TMyCustomGrid::RowBorderAt(int X, int Y, int &row) const
{
    if (X < 0 || X >= FixedWidth())
        return false;
    for (int r = 0; r < m_rowCount; ++r) {
        const int top = RowTop(r);
        if (top < 0 || m_rowHeights[r] < 0)
            continue;
        if (std::abs(Y - (top + m_rowHeights[r])) <= kRowSizingZone) {
            row = r;
            return true;
        }
    }
    return false;
}

void TMyCustomGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseToCell(pos.x(), pos.y());
    if (cell.X >= m_fixedCols && cell.Y >= m_fixedRows && (m_options & goEditing))
        ShowEditor();
}

void TMyCustomGrid::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    InvalidateCell(m_current.X, m_current.Y);
}

void TMyCustomGrid::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    InvalidateCell(m_current.X, m_current.Y);
}
