// The sort grid's cell painter: per-cell formats, title shortening, the sort arrow,
// glyph cells and bevels.
#include "TSortGrid.h"

#include "TInplaceEdit.h"
#include "TitleText.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <vector>

namespace {
constexpr int kTextInset = 2;
constexpr int kBottomInset = 3;
constexpr int kSortArrowRoom = 11;
constexpr int kSortArrowTextShift = 10;
constexpr int kSortArrowWidth = 8;
constexpr int kSortArrowHeight = 7;
constexpr int kSortArrowLeft = 3;
constexpr int kNarrowArrowCell = 10;
constexpr int kGlyphSize = 16;

constexpr int kMaxMeasuredFonts = 8;
constexpr int kMaxMeasuredTexts = 4096;

// Shaping a text costs more than painting it; a repaint shows the same few hundred texts in a
// handful of fonts, so their widths and glyphs are remembered per font.
struct TShapedText
{
    int Width = 0;
    bool Shaped = false;
    QList<QGlyphRun> Runs;
};

TShapedText &ShapedText(const QFont &font, const QString &text)
{
    struct TShapedFont
    {
        QFont Font;
        QHash<QString, TShapedText> Texts;
    };
    static std::vector<TShapedFont> fonts;
    auto found = std::find_if(fonts.begin(), fonts.end(),
                              [&font](const TShapedFont &f) { return f.Font == font; });
    if (found == fonts.end()) {
        if (fonts.size() >= kMaxMeasuredFonts)
            fonts.clear();
        fonts.push_back({font, {}});
        found = fonts.end() - 1;
    }
    QHash<QString, TShapedText> &texts = found->Texts;
    const auto known = texts.find(text);
    if (known != texts.end())
        return *known;
    if (texts.size() >= kMaxMeasuredTexts)
        texts.clear();
    return *texts.insert(text, {QFontMetrics(font).horizontalAdvance(text), false, {}});
}

int TextWidth(const QFont &font, const QString &text)
{
    return ShapedText(font, text).Width;
}

// The glyphs of a plain line with the top of its line box at the origin.
QList<QGlyphRun> GlyphRuns(const QFont &font, const QString &text)
{
    TShapedText &shaped = ShapedText(font, text);
    if (!shaped.Shaped) {
        QTextLayout layout(text, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        shaped.Runs = layout.glyphRuns();
        shaped.Shaped = true;
    }
    return shaped.Runs;
}

// Line breaks and tabs need the text box's handling to look as they always did.
bool IsPlainLine(const QString &text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < u' '; });
}

bool IsTicked(const QString &text)
{
    return text == QLatin1String("true") || text == QLatin1String("1") ||
           text == QLatin1String("V");
}
} // namespace

int TSortGrid::MeasuredTextWidth(const QFont &font, const QString &text)
{
    return TextWidth(font, text);
}

TCellFormat TSortGrid::GetCellFormat(int Col, int Row)
{
    TCellFormat format;
    TFormatOptions &options = format.FormatOptions;
    options.Brush = &Canvas().Brush;
    options.Font = &Canvas().Font;
    options.AlignmentHorz = m_alignmentHorz;
    options.AlignmentVert = m_alignmentVert;
    options.BevelStyle = m_bevelStyle;
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    const QColor window = palette().color(QPalette::Base);
    switch (m_bevelStyle) {
    case cbRaised:
        options.HighlightColor = light;
        options.ShadowColor = dark;
        break;
    case cbLowered:
        options.HighlightColor = dark;
        options.ShadowColor = light;
        break;
    case cbNone:
        options.HighlightColor = window;
        options.ShadowColor = window;
        break;
    }
    if (!OnGetCellFormat)
        return format;
    TGridDrawState state;
    if (hasFocus() && Col == this->Col() && Row == this->Row())
        state |= gdFocused;
    const TGridRect selection = Selection();
    if (Col >= selection.Left && Col <= selection.Right && Row >= selection.Top &&
        Row <= selection.Bottom)
        state |= gdSelected;
    OnGetCellFormat(this, Col, Row, state, options, format.CheckBox, format.Combobox,
                    format.Ellipsis);
    return format;
}

void TSortGrid::DrawCell(QPainter &painter, int ACol, int ARow, const QRect &ARect,
                         TGridDrawState AState)
{
    TGridCanvas &canvas = Canvas();
    if (ARow > 0 && (NowUpdating() || m_hideRows)) {
        painter.fillRect(ARect, canvas.Brush);
        return;
    }
    TCellFormat format = GetCellFormat(ACol, ARow);
    TFormatOptions &options = format.FormatOptions;
    if (format.CheckBox)
        options.HideText = true;

    // Whole rows of the selection are highlighted.
    const TGridRect selection = Selection();
    const bool inRange =
        (Options() & goRangeSelect) && ARow >= selection.Top && ARow <= selection.Bottom;
    const bool inMulti =
        m_multiSelect && !(Options() & goEditing) && m_selectedRows.contains(QString::number(ARow));
    if (inRange || inMulti) {
        canvas.Font.Color = palette().color(QPalette::HighlightedText);
        canvas.Brush = QBrush(palette().color(QPalette::Highlight));
    }
    if (options.Font && options.Font != &canvas.Font)
        canvas.Font = *options.Font;
    if (options.Brush && options.Brush != &canvas.Brush)
        canvas.Brush = QBrush(options.Brush->color());
    painter.setFont(canvas.Font);
    const QFontMetrics metrics(canvas.Font);

    const bool sortArrow = ACol == m_sortOptions.SortCol && m_sortOptions.CanSort;
    QString text = Cells(ACol, ARow);
    if (ARow == 0) {
        const int room = ColWidths(ACol) - 1 - (sortArrow ? kSortArrowRoom : 0);
        text = ShortenTitle(text, room,
                            [&canvas](const QString &t) { return TextWidth(canvas.Font, t); });
    }
    const int cellWidth = ARect.width();
    const int cellHeight = ARect.height();
    const int textWidth = TextWidth(canvas.Font, text);
    const int textHeight = metrics.height();
    int x = kTextInset;
    if (options.AlignmentHorz == taRightJustify)
        x = cellWidth - textWidth - kTextInset;
    else if (options.AlignmentHorz == taCenter)
        x = (cellWidth - textWidth) / 2;
    int y = kTextInset;
    if (options.AlignmentVert == taBottomJustify)
        y = cellHeight - textHeight - kBottomInset;
    else if (options.AlignmentVert == taMiddle)
        y = (cellHeight - textHeight) / 2;

    painter.fillRect(ARect, canvas.Brush);
    // Most cells hold a text well inside them and need no clipping, which costs more than
    // drawing the text.
    const bool textInside =
        options.HideText || (x + metrics.minLeftBearing() >= 0 &&
                             x + textWidth - metrics.minRightBearing() <= cellWidth && y >= 0 &&
                             y + textHeight <= cellHeight);
    const bool clip =
        !textInside || sortArrow || format.CheckBox || format.Combobox || format.Ellipsis;
    if (clip) {
        painter.save();
        painter.setClipRect(ARect);
    }
    if (sortArrow) {
        if (ARow == 0)
            x += kSortArrowTextShift;
        const int arrowWidth = cellWidth <= kNarrowArrowCell ? cellWidth - 3 : kSortArrowWidth;
        // Measured from the grid's top, so it lands in the title row whatever is painted.
        const int arrowTop = RowHeights(0) / 2 - 4;
        const QPixmap &arrow =
            m_glyphs[m_sortOptions.SortDirection == sdAscending ? QStringLiteral("UP")
                                                                : QStringLiteral("DOWN")];
        if (arrowWidth > 0)
            painter.drawPixmap(QPoint(ARect.left() + kSortArrowLeft, arrowTop), arrow,
                               QRect(0, 0, arrowWidth, kSortArrowHeight));
    }
    if (!options.HideText) {
        painter.setPen(canvas.Font.Color);
        if (IsPlainLine(text)) {
            // Drawn from remembered glyphs: same glyphs, same places, no shaping.
            const QPointF origin(ARect.left() + x, ARect.top() + y);
            for (const QGlyphRun &run : GlyphRuns(canvas.Font, text))
                painter.drawGlyphRun(origin, run);
        } else {
            painter.drawText(
                QRect(ARect.left() + x, ARect.top() + y, std::max(textWidth, 1) + 1, textHeight),
                Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        }
    }
    PaintGlyphs(painter, ACol, ARow, ARect, format);
    if (ARow >= 1)
        PaintBevel(painter, ARect, options);
    if (clip)
        painter.restore();
    if (OnDrawCell) {
        painter.save();
        painter.setClipRect(ARect);
        OnDrawCell(this, ACol, ARow, ARect, AState, painter);
        painter.restore();
    }
}

void TSortGrid::PaintGlyphs(QPainter &painter, int ACol, int ARow, const QRect &ARect,
                            const TCellFormat &format)
{
    const int cellWidth = ARect.width();
    if (format.CheckBox) {
        const int w = cellWidth <= kGlyphSize ? cellWidth - 1 : kGlyphSize;
        const int left = ARect.left() + (cellWidth - w) / 2;
        const int top = ARect.top() + RowHeights(ARow) / 2 - kGlyphSize / 2;
        const QPixmap &box = m_glyphs[IsTicked(Cells(ACol, ARow)) ? QStringLiteral("CHECKED")
                                                                  : QStringLiteral("UNCHECKED")];
        if (w > 0)
            painter.drawPixmap(QPoint(left, top), box, QRect(0, 0, w, kGlyphSize));
    }
    const bool currentRow = ARow == Row();
    const int w = std::min(kGlyphSize, cellWidth);
    const QRect strip(ARect.left() + cellWidth - w, ARect.top(), w, ARect.height());
    if (format.Combobox && currentRow && (ACol == Col() || EditorMode()))
        painter.drawPixmap(strip, m_glyphs[QStringLiteral("COMBOBOX")], QRect(0, 0, w, kGlyphSize));
    if (format.Ellipsis && currentRow && ACol != Col())
        painter.drawPixmap(strip, m_glyphs[QStringLiteral("ELLIPSIS")], QRect(0, 0, w, kGlyphSize));
}

void TSortGrid::PaintBevel(QPainter &painter, const QRect &ARect, const TFormatOptions &options)
{
    if (options.BevelStyle == cbNone)
        return;
    const bool vert = Options() & goFixedVertLine;
    const bool horz = Options() & goFixedHorzLine;
    const int left = ARect.left();
    const int top = ARect.top();
    const int right = ARect.right();
    const int bottom = ARect.bottom();
    painter.setPen(options.ShadowColor);
    if (vert)
        painter.drawLine(right, top, right, bottom);
    if (horz)
        painter.drawLine(left, bottom, right, bottom);
    painter.setPen(options.HighlightColor);
    if (vert)
        painter.drawLine(left, top, left, bottom);
    if (horz)
        painter.drawLine(left, top, right, top);
}
