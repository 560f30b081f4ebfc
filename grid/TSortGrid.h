#pragma once

#include "TFormatOptions.h"
#include "TMyStringGrid.h"
#include "TPrintOptions.h"
#include "TSortOptions.h"
#include "TSortedList.h"

#include <QHash>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QStringList>

// A string grid that reorders its data rows (row 0 is the title and never moves) by one
// column, with further columns as tie-breaking keys, under one of seven styles.
class TSortGrid : public TMyStringGrid
{
    Q_OBJECT

public:
    explicit TSortGrid(QWidget *parent = nullptr);

    TSortOptions *SortOptions() { return &m_sortOptions; }
    const TSortOptions *SortOptions() const { return &m_sortOptions; }
    // Copies the stored settings; the grid keeps its own options object.
    void SetSortOptions(const TSortOptions &value);

    // Sorts rows 1..RowCount-1 by ACol, then by the SecondaryIndex columns. Does nothing
    // while CanSort is False. A bad key (not a number, column out of range) or an error
    // of CompareFunc leaves the rows as they were and reaches the caller, with the update
    // bracket closed and CompareFunc cleared.
    void SortRows(int ACol);
    TSortStyle DetectSortStyle(int ACol) const;

    // The width of a text in a font, as the cell painter measures it and remembers it: a format
    // handler that fits a text to its column should not shape it again at every repaint.
    static int MeasuredTextWidth(const QFont &font, const QString &text);

    void BeginUpdate() override;
    void EndUpdate() override;

    // Makes (ACol, ARow) current and its row the only selected one, if SelectCell allows.
    void GotoCell(int ACol, int ARow, bool Scroll);
    // Scrolls so that the row above ARow is the top row, or to the last page.
    void ScrollToCell(int ACol, int ARow);
    void ClearSelection();
    // Widens ACol to its widest text (title included) plus an "X"; a hidden column only
    // with Force.
    void AutoSizeColumn(int ACol, bool Force);
    // Inserts an empty row before ARow (after it when ARow is the last row) and makes it
    // current; InsertColumn likewise for a column at ACol.
    void InsertRow(int ARow);
    void InsertColumn(int ACol);
    // Deleting the only data row empties it instead.
    void DeleteRow(int ARow) override;
    void DeleteColumn(int ACol) override;
    // Lets OnCellValidate accept, change or refuse the text typed into the cell where
    // editing began; a refused text is put back and Modified restored.
    void ValidateCell();
    // Puts text still in the editor into its cell and closes the editor, as a sort does
    // before it moves the rows.
    void CommitOpenEditor();
    // Called after a click on a title changed the sort direction (whether or not it sorted).
    std::function<void(TSortGrid *Sender)> OnTitleClick;

    // How the grid tells its user something ("Rowsize too small"); tests replace it.
    std::function<void(const QString &Message)> ShowMessage;
    // A row drag begins; without a handler the grid starts a drag of the rows' texts.
    std::function<void(QObject *Sender)> OnStartDrag;

    // Row numbers as decimal text; SelectionTrail in the order of selection, entry 0 the
    // anchor.
    QStringList SelectedRows() const { return m_selectedRows; }
    QStringList SelectionTrail() const { return m_selectionTrail; }

    // The format of one cell: the grid's defaults, then whatever OnGetCellFormat makes of
    // them. Brush and Font point at the grid's drawing state.
    TCellFormat GetCellFormat(int Col, int Row);

    TAlignment AlignmentHorz() const { return m_alignmentHorz; }
    void SetAlignmentHorz(TAlignment value);
    TVertAlignment AlignmentVert() const { return m_alignmentVert; }
    void SetAlignmentVert(TVertAlignment value);
    TCellBevelStyle BevelStyle() const { return m_bevelStyle; }
    void SetBevelStyle(TCellBevelStyle value);
    // While True every data row is painted blank.
    bool HideRows() const { return m_hideRows; }
    void SetHideRows(bool value);
    // Hides the rows OnSetFilter rejects; they stay stored behind the last visible row.
    bool Filtered() const { return m_filtered; }
    void SetFiltered(bool value);
    int FilteredCount() const { return m_filteredCount; }
    bool MultiSelect() const { return m_multiSelect; }
    void SetMultiSelect(bool value);
    bool ExtendedKeys() const { return m_extendedKeys; }
    void SetExtendedKeys(bool value) { m_extendedKeys = value; }
    bool ProportionalScrollBars() const { return m_proportionalScrollBars; }
    void SetProportionalScrollBars(bool value);
    QStringList UserSettings() const { return m_userSettings; }
    void SetUserSettings(const QStringList &value);
    TPrintOptions *PrintOptions() { return &m_printOptions; }
    void SetPrintOptions(const TPrintOptions &value) { m_printOptions = value; }
    QMenu *PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu *value) { m_popupMenu = value; }
    bool Modified() const { return m_modified; }
    void SetModified(bool value);
    // A picture loaded at construction by its name ("UP", "CHECKED", ...).
    QPixmap Glyph(const QString &name) const { return m_glyphs.value(name); }

    // True when X (viewport coordinates) lies within the column-sizing distance of the
    // left or right edge of ACol's title cell.
    bool IsOnTitleBorder(int X, int ACol) const;

    std::function<void(QObject *Sender, int &Col)> OnBeforeSort;
    std::function<void(QObject *Sender, int Col, TSortStyle &SortStyle)> OnGetSortStyle;
    std::function<void(QObject *Sender, int Col)> OnAfterSort;
    std::function<void(QObject *Sender)> OnEndUpdate;
    std::function<void(QObject *Sender, int Col, int Row, TGridDrawState State,
                       TFormatOptions &FormatOptions, bool &CheckBox, bool &Combobox,
                       bool &Ellipsis)>
        OnGetCellFormat;
    std::function<void(QObject *Sender, const QStringList &ARows, bool &Accept)> OnSetFilter;
    std::function<void(QObject *Sender, const QStringList &ARows, bool &Accept)> OnSearch;
    std::function<void(QObject *Sender)> OnModified;
    std::function<void(QObject *Sender)> OnRowSelected;
    std::function<void(QObject *Sender, int ARow)> OnRowInsert;
    std::function<void(QObject *Sender, int ARow)> OnRowDelete;
    std::function<void(QObject *Sender, int ACol)> OnColumnInsert;
    std::function<void(QObject *Sender, int ACol)> OnColumnDelete;
    std::function<void(QObject *Sender)> OnColumnWidthsChanged;
    std::function<void(QObject *Sender)> OnRowHeightsChanged;
    std::function<void(QObject *Sender, int OldColCount, int OldRowCount)> OnSizeChanged;
    std::function<void(QObject *Sender, int ACol, int ARow, const QString &OldValue,
                       QString &NewValue, bool &Valid)>
        OnCellValidate;
    std::function<void(QObject *Sender, int ACol, int ARow, bool State)> OnSetChecked;
    std::function<void(QObject *Sender, int ACol, int ARow, QStringList &Strs, int &Width,
                       int &Height, bool &Sorted)>
        OnGetComboBox;
    std::function<void(QObject *Sender, int ACol, int ARow, const QString &Str)> OnSetComboBox;
    std::function<void(QObject *Sender, int ACol, int ARow)> OnSetEllipsis;

protected:
    void DrawCell(QPainter &painter, int ACol, int ARow, const QRect &ARect,
                  TGridDrawState AState) override;
    bool DrawCellOwnsCell() const override { return true; }
    bool SelectCell(int ACol, int ARow) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void SizeChanged(int OldColCount, int OldRowCount) override;
    void ColWidthsChanged() override;
    int ScrollPage(Qt::Orientation orientation) const override;
    void RowHeightsChanged() override;
    void SetEditText(int ACol, int ARow, const QString &Value) override;
    void EditorKey(QKeyEvent *event) override;
    void EditorShowing() override;
    void EditorLeft() override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    QStringList m_selectedRows;
    QStringList m_selectionTrail;

private:
    void RunSortPasses(int col);
    // Empties the selection lists without repainting their rows.
    void ForgetSelection();
    void PaintGlyphs(QPainter &painter, int ACol, int ARow, const QRect &ARect,
                     const TCellFormat &format);
    void PaintBevel(QPainter &painter, const QRect &ARect, const TFormatOptions &options);
    void FilterRows();
    void UnfilterRows();
    void SaveEditState();
    // Goes to the next row whose SortCol cell starts with the typed character, any case.
    bool SearchFirstLetter(QChar typed);
    void FillLastColumn();
    void ToggleCheckBox(int ACol, int ARow);
    void OpenComboList(int ACol, int ARow);
    void CloseComboList();
    void AddSelectionRectRows();
    void SelectOnly(int ARow);
    bool HandleMultiSelectRelease(QMouseEvent *event, const TGridCoord &cell);
    bool HandleGlyphRelease(int X, const TGridCoord &cell);
    void StartRowDrag();
    // The key that each column number text names, checked against ColCount.
    int KeyColumn(const QString &key) const;
    void TitleClicked(int ACol, Qt::MouseButton button);

    TSortOptions m_sortOptions;
    TSortedList m_sortedList;
    bool m_savedUpdateOnSizeChange = false;
    TAlignment m_alignmentHorz = taLeftJustify;
    TVertAlignment m_alignmentVert = taTopJustify;
    TCellBevelStyle m_bevelStyle = cbNone;
    bool m_hideRows = false;
    bool m_filtered = false;
    int m_filteredCount = 0;
    bool m_multiSelect = false;
    bool m_extendedKeys = false;
    bool m_proportionalScrollBars = false;
    bool m_modified = false;
    QStringList m_userSettings;
    TPrintOptions m_printOptions;
    QPointer<QMenu> m_popupMenu;
    QHash<QString, QPixmap> m_glyphs;
    // Where editing of a cell began, and what the cell and Modified were then.
    struct TEditState
    {
        int Col = -1;
        int Row = -1;
        QString Text;
        bool Modified = false;
    } m_editState;
    TGridCoord m_downCell;
    bool m_dragPending = false;
    bool m_dragStarted = false;
    QPoint m_dragStartPos;
    class QListWidget *m_comboList = nullptr;
    TGridCoord m_comboCell;
    bool m_titlePressValid = false;
    int m_titlePressCol = -1;
};
