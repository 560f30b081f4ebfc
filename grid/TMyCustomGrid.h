#pragma once

#include "GridTypes.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QRect>
#include <functional>
#include <vector>

class QPainter;
class TInplaceEdit;

// The cell geometry, scrolling, current cell and selection, painting loop, navigation
// and in-place editing of a grid that paints its cells itself. Holds no cell data.
class TMyCustomGrid : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TMyCustomGrid(QWidget *parent = nullptr);
    ~TMyCustomGrid() override;

    int ColCount() const { return m_colCount; }
    void SetColCount(int value);
    int RowCount() const { return m_rowCount; }
    void SetRowCount(int value);
    int FixedCols() const { return m_fixedCols; }
    void SetFixedCols(int value);
    int FixedRows() const { return m_fixedRows; }
    void SetFixedRows(int value);

    int DefaultColWidth() const { return m_defaultColWidth; }
    void SetDefaultColWidth(int value);
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    void SetDefaultRowHeight(int value);
    int ColWidths(int index) const;
    void SetColWidths(int index, int value);
    int RowHeights(int index) const;
    void SetRowHeights(int index, int value);
    int GridLineWidth() const { return m_gridLineWidth; }
    void SetGridLineWidth(int value);

    TGridOptions Options() const { return m_options; }
    void SetOptions(TGridOptions value);
    QColor FixedColor() const { return m_fixedColor; }
    void SetFixedColor(const QColor &value);
    QColor Color() const { return m_color; }
    void SetColor(const QColor &value);
    bool DefaultDrawing() const { return m_defaultDrawing; }
    void SetDefaultDrawing(bool value) { m_defaultDrawing = value; }
    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle value);

    int Col() const { return m_current.X; }
    void SetCol(int value);
    int Row() const { return m_current.Y; }
    void SetRow(int value);
    TGridRect Selection() const;
    void SetSelection(const TGridRect &value);
    int LeftCol() const { return m_topLeft.X; }
    void SetLeftCol(int value);
    int TopRow() const { return m_topLeft.Y; }
    void SetTopRow(int value);
    int VisibleColCount() const;
    int VisibleRowCount() const;

    TGridCoord MouseToCell(int X, int Y) const;
    QRect CellRect(int ACol, int ARow) const;
    // Makes (ACol, ARow) current if SelectCell allows it; the anchor follows when
    // MoveAnchor is set, and Show scrolls the cell into view.
    void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);

    void MoveColumn(int FromIndex, int ToIndex);
    void MoveRow(int FromIndex, int ToIndex);
    virtual void DeleteColumn(int ACol);
    virtual void DeleteRow(int ARow);

    void InvalidateCell(int ACol, int ARow);
    void InvalidateCol(int ACol);
    void InvalidateRow(int ARow);
    void InvalidateGrid();

    // Bracket around bulk changes: no size notifications and no data painting inside.
    // Not counted: every EndUpdate closes it. EndUpdate repaints the rows whose contents
    // changed inside, or the whole grid when the counts changed or cells were blanked.
    virtual void BeginUpdate();
    virtual void EndUpdate();
    bool NowUpdating() const { return m_nowUpdating; }

    bool EditorMode() const;
    void SetEditorMode(bool value);
    TInplaceEdit *InplaceEditor() const { return m_editor; }
    // Whether a character typed on a cell starts editing it (Enter and a double click always
    // do where the cell can be edited).
    bool TypingOpensEditor() const { return m_typingOpensEditor; }
    void SetTypingOpensEditor(bool value) { m_typingOpensEditor = value; }
    // Takes the open editor, its text as typed, to the cell its row moved to: neither commits
    // nor discards it.
    void MoveOpenEditor(int ACol, int ARow);

    std::function<void(QObject *Sender)> OnBeginUpdate;
    // Enter on a cell while no editor is open; returns whether it took the key (then no editor
    // opens).
    std::function<bool()> OnEnterKey;
    std::function<void(QObject *Sender, int ACol, int ARow, bool &CanSelect)> OnSelectCell;
    std::function<void(QObject *Sender)> OnTopLeftChanged;
    std::function<void(QObject *Sender, int FromIndex, int ToIndex)> OnColumnMoved;
    std::function<void(QObject *Sender, int FromIndex, int ToIndex)> OnRowMoved;

    // The drawing state the painting loop hands to DrawCell.
    TGridCanvas &Canvas() { return m_canvas; }

protected:
    virtual void DrawCell(QPainter &painter, int ACol, int ARow, const QRect &ARect,
                          TGridDrawState AState) = 0;
    // True when DrawCell fills its cell's background itself and keeps its drawing inside the
    // cell, changing no painter state but pen and font: the painting loop then neither fills
    // the cell first nor saves and clips the painter around it.
    virtual bool DrawCellOwnsCell() const { return false; }
    virtual bool SelectCell(int ACol, int ARow);
    virtual void SizeChanged(int OldColCount, int OldRowCount);
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void ColumnMoved(int FromIndex, int ToIndex);
    virtual void RowMoved(int FromIndex, int ToIndex);
    virtual void TopLeftChanged();
    virtual QString GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const QString &Value);
    virtual bool CanEditShow() const;
    // A key the in-place editor hands back: Enter commits, Escape cancels, the
    // navigation keys commit and then move.
    virtual void EditorKey(QKeyEvent *event);
    // The editor is about to show for the current cell with the cell's text.
    virtual void EditorShowing();
    // The editor lost the focus to another widget: keep what was typed.
    virtual void EditorLeft();

    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

    // Where the user pressed: -1 when no column border is being dragged.
    int SizingColumn() const { return m_sizingCol; }
    // The column or row being moved by the mouse: -1 when none.
    int MovingColumn() const { return m_movingCol; }
    // Mouse position of the last press, in viewport coordinates.
    QPoint MouseDownPos() const { return m_mouseDownPos; }
    bool ColumnBorderAt(int X, int Y, int &column) const;
    // True when (X, Y) lies in the fixed columns near the bottom edge of a row.
    bool RowBorderAt(int X, int Y, int &row) const;
    int ColumnLeft(int ACol) const;
    int RowTop(int ARow) const;
    void UpdateScrollRange();
    // The page of a scroll bar, in cells: what one page key or trough click scrolls and
    // how long the thumb is against the range.
    virtual int ScrollPage(Qt::Orientation orientation) const;
    void ShowEditor();
    void HideEditor();
    void UpdateEditor();
    // Puts the editor's text into the cell through SetEditText.
    void CommitEditor();
    void ScrollIntoView(int ACol, int ARow);
    // Moves the current cell without asking SelectCell.
    void FocusCell(int ACol, int ARow, bool MoveAnchor, bool Show);
    // Row ARow shows something new: repainted now, or at EndUpdate inside the bracket.
    void RowContentsChanged(int ARow);

private:
    void ChangeCounts(int newColCount, int newRowCount);
    void AdjustToCounts(int oldColCount, int oldRowCount, bool notify, bool repaintAll = true);
    void PaintCells(QPainter &painter, const QRegion &area);
    void PaintGridLines(QPainter &painter, const QRect &cell, bool fixed);
    int ColumnExtent(int ACol) const;
    int RowExtent(int ARow) const;
    int FixedWidth() const;
    int FixedHeight() const;
    int MaxLeftCol() const;
    int MaxTopRow() const;
    void SetTopLeft(int leftCol, int topRow);
    void ClampCurrent();
    void MoveCurrentBy(int dCol, int dRow);
    void MoveToNextCell(bool backward);

    int m_colCount = 5;
    int m_rowCount = 5;
    int m_fixedCols = 1;
    int m_fixedRows = 1;
    // The fixed counts last set, restored when the counts have room for them again.
    int m_wantedFixedCols = 1;
    int m_wantedFixedRows = 1;
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 24;
    int m_gridLineWidth = 1;
    std::vector<int> m_colWidths;
    std::vector<int> m_rowHeights;
    TGridOptions m_options = kDefaultGridOptions;
    QColor m_fixedColor;
    QColor m_color;
    bool m_defaultDrawing = true;
    TScrollStyle m_scrollBars = ssBoth;
    TGridCoord m_current{1, 1};
    TGridCoord m_anchor{1, 1};
    TGridCoord m_topLeft{1, 1};
    bool m_nowUpdating = false;
    int m_colCountAtBegin = 0;
    int m_rowCountAtBegin = 0;
    // Rows to repaint at EndUpdate; past a few dozen the whole grid is repainted instead.
    std::vector<int> m_rowsChangedInUpdate;
    bool m_repaintAllAtEndUpdate = false;
    bool m_syncingScrollBars = false;
    TGridCanvas m_canvas;
    TInplaceEdit *m_editor = nullptr;
    bool m_editorActive = false;
    bool m_typingOpensEditor = true;
    int m_sizingCol = -1;
    int m_sizingStartX = 0;
    int m_sizingStartWidth = 0;
    int m_sizingRow = -1;
    int m_sizingStartY = 0;
    int m_sizingStartHeight = 0;
    int m_movingCol = -1;
    int m_movingRow = -1;
    QPoint m_mouseDownPos;
    bool m_selecting = false;
};
