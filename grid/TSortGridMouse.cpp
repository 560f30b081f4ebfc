// The sort grid's mouse: title clicks, multi-row selection, the row drag start,
// column auto-size, glyph cells and the combo list, the wheel and the popup menu.
#include "TSortGrid.h"

#include "TInplaceEdit.h"

#include <QApplication>
#include <QDrag>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {
// A title click this close to a column edge belongs to column sizing.
constexpr int kTitleBorderZone = 5;
// A double click this close to a column's right edge auto-sizes that column.
constexpr int kAutoSizeZone = 3;
constexpr int kSortArrowTitleRoom = 12;
constexpr int kDragDistance = 10;
constexpr int kWheelRows = 2;
constexpr int kGlyphWidth = 16;
constexpr int kComboVisibleItems = 10;
constexpr int kComboExtraHeight = 5;
constexpr int kComboLeftOffset = 2;
constexpr int kComboBottomOffset = 59;

bool IsTicked(const QString &text)
{
    return text == QLatin1String("true") || text == QLatin1String("1") ||
           text == QLatin1String("V");
}
} // namespace

bool TSortGrid::IsOnTitleBorder(int X, int ACol) const
{
    const QRect title = CellRect(ACol, 0);
    if (title.isNull())
        return false;
    const int left = title.left();
    const int right = title.left() + title.width();
    return std::abs(X - left) <= kTitleBorderZone || std::abs(right - X) <= kTitleBorderZone;
}

void TSortGrid::mousePressEvent(QMouseEvent *event)
{
    if (NowUpdating())
        return;
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseToCell(pos.x(), pos.y());
    m_downCell = cell;
    m_titlePressValid = cell.Y == 0;
    m_titlePressCol = cell.X;
    m_dragStarted = false;
    if (hasFocus() || EditorMode())
        ValidateCell();
    const bool left = event->button() == Qt::LeftButton;
    const bool dataRow = cell.Y >= 1;
    // A press on a selected row may become a row drag.
    const bool onSelected =
        dataRow &&
        (m_multiSelect ? m_selectedRows.contains(QString::number(cell.Y)) : cell.Y == Row());
    m_dragPending = left && onSelected;
    m_dragStartPos = pos;
    if (m_multiSelect && !EditorMode() && dataRow) {
        const bool noModifiers = event->modifiers() == Qt::NoModifier;
        if (left && noModifiers && !m_selectedRows.contains(QString::number(cell.Y))) {
            SetOptions(Options() & ~TGridOptions(goRangeSelect));
            if (!hasFocus())
                setFocus(Qt::MouseFocusReason);
            MoveColRow(std::max(cell.X, FixedCols()), cell.Y, true, true);
            SelectOnly(cell.Y);
            m_dragPending = true;
            return;
        }
        const bool shiftRange =
            (event->modifiers() & Qt::ShiftModifier) && (Options() & goRangeSelect);
        if (!shiftRange) {
            if (!hasFocus())
                setFocus(Qt::MouseFocusReason);
            return;
        }
    }
    TMyStringGrid::mousePressEvent(event);
    // A press that grabbed a column border starts a resize, not a title click.
    if (SizingColumn() >= 0)
        m_titlePressValid = false;
}

void TSortGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (m_dragPending && event->buttons() == Qt::LeftButton &&
        (std::abs(pos.x() - m_dragStartPos.x()) > kDragDistance ||
         std::abs(pos.y() - m_dragStartPos.y()) > kDragDistance)) {
        m_dragPending = false;
        m_dragStarted = true;
        StartRowDrag();
        return;
    }
    if (m_dragPending && event->buttons() == Qt::LeftButton)
        return;
    TMyStringGrid::mouseMoveEvent(event);
}

void TSortGrid::StartRowDrag()
{
    if (OnStartDrag) {
        OnStartDrag(this);
        return;
    }
    QStringList lines;
    const QStringList rows = m_multiSelect ? m_selectedRows : QStringList{QString::number(Row())};
    for (const QString &row : rows)
        lines.append(Rows(row.toInt()).ToStringList().join(u'\t'));
    auto *drag = new QDrag(this);
    auto *data = new QMimeData;
    data->setText(lines.join(u'\n'));
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction | Qt::MoveAction);
}

void TSortGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const bool titlePress = m_titlePressValid;
    const bool dragged = m_dragStarted;
    m_titlePressValid = false;
    m_dragPending = false;
    m_dragStarted = false;
    TMyStringGrid::mouseReleaseEvent(event);
    if (NowUpdating() || dragged)
        return;
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseToCell(pos.x(), pos.y());
    if (cell.Y == 0) {
        if (titlePress && cell.X == m_titlePressCol && !IsOnTitleBorder(pos.x(), cell.X))
            TitleClicked(cell.X, event->button());
        return;
    }
    if (event->button() == Qt::RightButton) {
        if (m_popupMenu)
            m_popupMenu->popup(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton || cell.Y < 1)
        return;
    if (m_multiSelect && !EditorMode() && HandleMultiSelectRelease(event, cell))
        return;
    HandleGlyphRelease(pos.x(), cell);
}

void TSortGrid::TitleClicked(int ACol, Qt::MouseButton button)
{
    TSortOptions &options = m_sortOptions;
    if (options.SortDirection == sdAscending && options.SortCol == ACol)
        options.SortDirection = sdDescending;
    else
        options.SortDirection = sdAscending;
    if (button == Qt::RightButton)
        options.SortDirection = sdDescending;
    InvalidateRow(0);
    SortRows(ACol);
    if (OnTitleClick)
        OnTitleClick(this);
}

void TSortGrid::SelectOnly(int ARow)
{
    ClearSelection();
    m_selectedRows.append(QString::number(ARow));
    m_selectionTrail[0] = QString::number(ARow);
    InvalidateRow(ARow);
    if (OnRowSelected)
        OnRowSelected(this);
}

bool TSortGrid::HandleMultiSelectRelease(QMouseEvent *event, const TGridCoord &cell)
{
    const QString row = QString::number(cell.Y);
    const int col = std::max(cell.X, FixedCols());
    if (event->modifiers() & Qt::ControlModifier) {
        if (!m_selectedRows.contains(row)) {
            m_selectedRows.append(row);
            m_selectionTrail.append(row);
            FocusCell(col, cell.Y, true, true);
        } else if (m_selectedRows.size() > 1) {
            m_selectedRows.removeAll(row);
            m_selectionTrail.removeAll(row);
            if (m_selectionTrail.isEmpty())
                m_selectionTrail.append(m_selectedRows.last());
            FocusCell(col, m_selectionTrail.last().toInt(), true, true);
        }
        InvalidateGrid();
        if (OnRowSelected)
            OnRowSelected(this);
        return true;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        const TGridRect rect = Selection();
        ClearSelection();
        m_selectionTrail.clear();
        for (int r = rect.Top; r <= rect.Bottom; ++r) {
            m_selectedRows.append(QString::number(r));
            m_selectionTrail.append(QString::number(r));
        }
        InvalidateGrid();
        if (OnRowSelected)
            OnRowSelected(this);
        return true;
    }
    SelectOnly(cell.Y);
    return false;
}

bool TSortGrid::HandleGlyphRelease(int X, const TGridCoord &cell)
{
    if (cell.X < 0 || cell.Y < 1)
        return false;
    const TCellFormat format = GetCellFormat(cell.X, cell.Y);
    if (format.CheckBox) {
        ToggleCheckBox(cell.X, cell.Y);
        return true;
    }
    const QRect rect = CellRect(cell.X, cell.Y);
    if (format.Ellipsis && X >= rect.left() + rect.width() - kGlyphWidth) {
        if (OnSetEllipsis)
            OnSetEllipsis(this, cell.X, cell.Y);
        return true;
    }
    if (format.Combobox) {
        OpenComboList(cell.X, cell.Y);
        return true;
    }
    return false;
}

void TSortGrid::ToggleCheckBox(int ACol, int ARow)
{
    const bool ticked = !IsTicked(Cells(ACol, ARow));
    SetCells(ACol, ARow, ticked ? QStringLiteral("V") : QString());
    InvalidateRow(ARow);
    if (OnSetChecked)
        OnSetChecked(this, ACol, ARow, ticked);
}

void TSortGrid::OpenComboList(int ACol, int ARow)
{
    QStringList items;
    int width = 0;
    int height = 0;
    bool sorted = true;
    if (OnGetComboBox)
        OnGetComboBox(this, ACol, ARow, items, width, height, sorted);
    if (items.isEmpty())
        return;
    if (!m_comboList) {
        m_comboList = new QListWidget(window());
        m_comboList->setWindowFlags(Qt::Widget);
        m_comboList->hide();
        m_comboList->installEventFilter(this);
        m_comboList->viewport()->installEventFilter(this);
    }
    m_comboList->setParent(window());
    m_comboList->setFont(font());
    m_comboList->clear();
    if (sorted)
        items.sort();
    m_comboList->addItems(items);
    const QString current = Cells(ACol, ARow);
    const int preselect = std::max(0, int(items.indexOf(current)));
    m_comboList->setCurrentRow(preselect);
    m_comboCell = {ACol, ARow};
    const QRect cell = CellRect(ACol, ARow);
    const QPoint gridTopLeft = viewport()->mapTo(window(), QPoint(0, 0));
    const int itemHeight = std::max(1, m_comboList->sizeHintForRow(0));
    const int listHeight = (height != 0 || items.size() >= kComboVisibleItems)
                               ? kComboVisibleItems * itemHeight + kComboExtraHeight
                               : int(items.size()) * itemHeight + kComboExtraHeight;
    const int listWidth = width != 0 ? width : cell.width() + 1;
    const int bottom = cell.top() + gridTopLeft.y() + kComboBottomOffset;
    m_comboList->setGeometry(cell.left() + gridTopLeft.x() + kComboLeftOffset, bottom - listHeight,
                             listWidth, listHeight);
    m_comboList->show();
    m_comboList->raise();
    m_comboList->setFocus();
}

void TSortGrid::CloseComboList()
{
    if (!m_comboList || !m_comboList->isVisible())
        return;
    const QListWidgetItem *item = m_comboList->currentItem();
    const QString picked = item ? item->text() : QString();
    const TGridCoord cell = m_comboCell;
    m_comboList->hide();
    if (item && cell.X >= 0 && cell.Y >= 0)
        SetCells(cell.X, cell.Y, picked);
    InvalidateCol(cell.X);
    setFocus();
    if (item && OnSetComboBox)
        OnSetComboBox(this, cell.X, cell.Y, picked);
}

bool TSortGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (m_comboList && (watched == m_comboList || watched == m_comboList->viewport())) {
        switch (event->type()) {
        case QEvent::MouseButtonRelease:
            CloseComboList();
            return true;
        case QEvent::KeyRelease: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                CloseComboList();
                return true;
            }
            break;
        }
        case QEvent::FocusOut:
            CloseComboList();
            break;
        default:
            break;
        }
    }
    return TMyStringGrid::eventFilter(watched, event);
}

void TSortGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseToCell(pos.x(), pos.y());
    if (event->button() == Qt::LeftButton && cell.Y == 0 && cell.X >= 0 &&
        IsOnTitleBorder(pos.x(), cell.X)) {
        const QRect title = CellRect(cell.X, 0);
        const int rightEdge = title.left() + title.width();
        if (std::abs(pos.x() - rightEdge) <= kAutoSizeZone) {
            AutoSizeColumn(cell.X, true);
            return;
        }
        if (cell.X > 0) {
            const QRect previous = CellRect(cell.X - 1, 0);
            if (!previous.isNull() &&
                std::abs(pos.x() - (previous.left() + previous.width())) <= kAutoSizeZone) {
                AutoSizeColumn(cell.X - 1, true);
                return;
            }
        }
        return;
    }
    TMyStringGrid::mouseDoubleClickEvent(event);
}

void TSortGrid::AutoSizeColumn(int ACol, bool Force)
{
    if (ACol < 0 || ACol >= ColCount() || (ColWidths(ACol) == -1 && !Force))
        return;
    int widest = 0;
    bool anyText = false;
    for (int row = 0; row < RowCount(); ++row) {
        Canvas().Font.QFont::operator=(font());
        const TCellFormat format = GetCellFormat(ACol, row);
        const QFontMetrics metrics(format.FormatOptions.Font ? QFont(*format.FormatOptions.Font)
                                                             : font());
        const QString text = Cells(ACol, row);
        anyText = anyText || !text.isEmpty();
        int width = metrics.horizontalAdvance(text);
        if (row == 0 && ACol == m_sortOptions.SortCol && m_sortOptions.CanSort)
            width += kSortArrowTitleRoom;
        widest = std::max(widest, width);
    }
    const QFontMetrics metrics(font());
    SetColWidths(ACol, anyText ? widest + metrics.horizontalAdvance(u'X')
                               : metrics.horizontalAdvance(QStringLiteral("xx")));
}

void TSortGrid::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    if (delta < 0)
        ScrollToCell(Col(), TopRow() + kWheelRows);
    else if (delta > 0)
        ScrollToCell(Col(), TopRow() - kWheelRows);
    event->accept();
}

void TSortGrid::resizeEvent(QResizeEvent *event)
{
    TMyStringGrid::resizeEvent(event);
    FillLastColumn();
}

void TSortGrid::FillLastColumn()
{
    const int visible = VisibleColCount();
    if (LeftCol() + visible != ColCount())
        return;
    int others = 0;
    for (int col = LeftCol(); col <= ColCount() - 2; ++col)
        others += ColWidths(col);
    // The fixed columns take their room too, or the last column would reach past the
    // window's edge and the fill would stop at the next resize.
    const int fixedWidth = CellRect(LeftCol(), 0).isNull() ? 0 : CellRect(LeftCol(), 0).left();
    const int width = this->width() - fixedWidth - others - (visible + 3);
    if (width > 0)
        SetColWidths(ColCount() - 1, width);
    InvalidateGrid();
    UpdateScrollRange();
}

void TSortGrid::focusInEvent(QFocusEvent *event)
{
    TMyStringGrid::focusInEvent(event);
    SaveEditState();
}

void TSortGrid::focusOutEvent(QFocusEvent *event)
{
    TMyStringGrid::focusOutEvent(event);
    // Focus going to the grid's own editor is not leaving the grid.
    if (EditorMode() && QApplication::focusWidget() != InplaceEditor())
        ValidateCell();
}
