#include "LbButtons.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTest>

// Draws a face on the see-through colour, as the button does before it keys that colour out.
static QImage Render(const TLbFace &face)
{
    QImage image(face.Width, face.Height, QImage::Format_ARGB32);
    image.fill(kLbTransparent);
    QPainter painter(&image);
    DrawButtonFace(painter, face);
    return image;
}

static TLbFace PlainFace(TLbButtonStyle style)
{
    TLbFace face;
    face.Width = 100;
    face.Height = 40;
    face.Style = style;
    face.Color = QColor(0xFF, 0x00, 0x00);
    face.HotTrackColor = QColor(0x00, 0x00, 0xFF);
    face.LightColor = QColor(0xFF, 0xFF, 0xFF);
    face.ShadowColor = QColor(0x40, 0x40, 0x40);
    return face;
}

// A strip of cells filled with their own colours, each with an olive bottom-left pixel that
// is keyed out when the cell is drawn.
static QImage ColouredStrip(const QList<QColor> &colours, int cellSize)
{
    QImage strip(cellSize * static_cast<int>(colours.size()), cellSize, QImage::Format_ARGB32);
    for (int i = 0; i < colours.size(); ++i) {
        for (int y = 0; y < cellSize; ++y)
            for (int x = 0; x < cellSize; ++x)
                strip.setPixelColor(i * cellSize + x, y, colours[i]);
        strip.setPixelColor(i * cellSize, cellSize - 1, QColor(0x80, 0x80, 0x00));
    }
    return strip;
}

class TestLbButtons : public QObject
{
    Q_OBJECT

private slots:
    void blending_data();
    void blending();
    void faceColourFollowsTheFadeLevel_data();
    void faceColourFollowsTheFadeLevel();
    void gradientBands_data();
    void gradientBands();
    void modernFace();
    void quickenFace();
    void bevels_data();
    void bevels();
    void captionCutting_data();
    void captionCutting();
    void glyphPlacement_data();
    void glyphPlacement();
    void glyphCells_data();
    void glyphCells();
    void disabledCaptionIsGrey();
    void popupArrow();
    void presetsAndKinds();
};

void TestLbButtons::blending_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QColor>("hot");
    QTest::addColumn<int>("level");
    QTest::addColumn<QColor>("expected");
    const QColor red(255, 0, 0);
    const QColor blue(0, 0, 255);
    QTest::newRow("level 0 is Color") << red << blue << 0 << red;
    QTest::newRow("level 4 truncates halves") << red << blue << 4 << QColor(127, 0, 127);
    QTest::newRow("level 8 is HotTrackColor") << red << blue << 8 << blue;
    QTest::newRow("level 1") << QColor(0, 100, 255) << QColor(255, 20, 0) << 1
                             << QColor(31, 90, 223);
    QTest::newRow("level 7") << QColor(0, 100, 255) << QColor(255, 20, 0) << 7
                             << QColor(223, 30, 31);
}

void TestLbButtons::blending()
{
    QFETCH(QColor, color);
    QFETCH(QColor, hot);
    QFETCH(int, level);
    QFETCH(QColor, expected);
    QCOMPARE(BlendColors(color, hot, level), expected);
}

void TestLbButtons::faceColourFollowsTheFadeLevel_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<bool>("hotTrackNone");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("level 0") << 0 << true << false << false << QColor(255, 0, 0);
    QTest::newRow("level 4") << 4 << true << false << false << QColor(127, 0, 127);
    QTest::newRow("level 8") << 8 << true << false << false << QColor(0, 0, 255);
    QTest::newRow("disabled ignores the hot colour")
        << 8 << false << false << false << QColor(255, 0, 0);
    QTest::newRow("no hot colour") << 8 << true << false << true << QColor(255, 0, 0);
    QTest::newRow("pressed takes ColorWhenDown") << 8 << true << true << false << QColor(0, 255, 0);
    QTest::newRow("disabled is never pressed") << 0 << false << true << false << QColor(255, 0, 0);
}

void TestLbButtons::faceColourFollowsTheFadeLevel()
{
    QFETCH(int, level);
    QFETCH(bool, enabled);
    QFETCH(bool, pressed);
    QFETCH(bool, hotTrackNone);
    QFETCH(QColor, expected);
    for (const TLbButtonStyle style : {bsNormal, bsEncarta, bsOld}) {
        TLbFace face = PlainFace(style);
        face.FadeLevel = level;
        face.Enabled = enabled;
        face.Pressed = pressed;
        face.ColorWhenDown = QColor(0, 255, 0);
        if (hotTrackNone)
            face.HotTrackColor = clNone;
        QCOMPARE(LayoutButtonFace(face).FaceColor, expected);
        QCOMPARE(Render(face).pixelColor(20, 20), expected);
    }
}

void TestLbButtons::gradientBands_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("band"); // -1: not painted
    QTest::newRow("62 high, first band") << 62 << 0 << 0;
    QTest::newRow("62 high, bands overlap: row 1 is still band 0") << 62 << 1 << 0;
    QTest::newRow("62 high, row 2 is band 1") << 62 << 2 << 1;
    QTest::newRow("62 high, last row is band 30") << 62 << 61 << 30;
    QTest::newRow("62 high, nothing below") << 62 << 62 << -1;
    QTest::newRow("10 high, later bands overwrite") << 10 << 9 << 30;
    QTest::newRow("10 high, row 0") << 10 << 0 << 3;
    QTest::newRow("31 high, one row per band") << 31 << 17 << 17;
}

void TestLbButtons::gradientBands()
{
    QFETCH(int, height);
    QFETCH(int, row);
    QFETCH(int, band);
    QImage image(6, 80, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        // Channels change by 1, 2 and 3 per band: band i is (10 + i, 2i, 93 - 3i).
        FillGradientBands(painter, 1, 0, 5, height, QColor(10, 0, 93), QColor(41, 62, 0));
    }
    const QColor expected =
        band < 0 ? QColor(Qt::white) : QColor(10 + band, 2 * band, 93 - 3 * band);
    QCOMPARE(image.pixelColor(2, row), expected);
    QCOMPARE(image.pixelColor(0, row), QColor(Qt::white)); // x1 is the first column
    QCOMPARE(image.pixelColor(5, row), QColor(Qt::white)); // x2 is exclusive
}

void TestLbButtons::modernFace()
{
    // The start button of the main window when ready.
    TLbFace face;
    face.Width = 115;
    face.Height = 36;
    face.Style = bsModern;
    face.Color = QColor(0x00, 0xFF, 0x00);
    face.HotTrackColor = face.Color;
    face.LightColor = QColor(0x00, 0x80, 0x00);
    face.ShadowColor = Qt::black;
    face.Flat = true;
    face.FadeLevel = 8;
    const QImage image = Render(face);
    QCOMPARE(image.pixelColor(0, 0), kLbTransparent);     // rounded corner
    QCOMPARE(image.pixelColor(57, 0), QColor(Qt::black)); // outline
    QCOMPARE(image.pixelColor(57, 35), QColor(Qt::black));
    QCOMPARE(image.pixelColor(57, 1), face.Color); // inner frame in the face colour
    QCOMPARE(image.pixelColor(1, 18), face.Color);
    // Top gradient from LightColor (rows 2 to 8, H / 4 = 9): 7 rows for 32 bands, so each row
    // shows the last band that starts on it; green runs 0x80 + trunc(i * 127 / 31).
    QCOMPARE(image.pixelColor(57, 2), QColor(0, 0x80 + 16, 0));  // band 4
    QCOMPARE(image.pixelColor(57, 8), QColor(0, 0x80 + 122, 0)); // band 30
    // Lower gradient back to LightColor (rows 9 to 34).
    QCOMPARE(image.pixelColor(57, 9), QColor(0, 250, 0));  // band 1
    QCOMPARE(image.pixelColor(57, 33), QColor(0, 136, 0)); // band 29; row 34 is the frame

    face.Pressed = true;
    const QImage pressed = Render(face);
    QCOMPARE(pressed.pixelColor(57, 1), QColor(Qt::black)); // inner frame in ShadowColor
    QCOMPARE(pressed.pixelColor(57, 9), QColor(0, 250, 0)); // the split moved down by one
    QCOMPARE(pressed.pixelColor(57, 10), QColor(0, 250, 0));
    QCOMPARE(pressed.pixelColor(57, 11), QColor(0, 246, 0));
}

void TestLbButtons::quickenFace()
{
    TLbFace face = PlainFace(bsQuicken);
    face.HotTrackColor = clNone;
    const QImage image = Render(face);
    QCOMPARE(image.pixelColor(0, 1), kLbTransparent); // rounded corner of the fill
    QCOMPARE(image.pixelColor(1, 1), face.Color);
    QCOMPARE(image.pixelColor(0, 2), face.Color);
    QCOMPARE(image.pixelColor(3, 0), kLbTransparent); // the lines run from 4 to W - 6
    QCOMPARE(image.pixelColor(4, 0), face.ShadowColor);
    QCOMPARE(image.pixelColor(94, 39), face.ShadowColor);
    QCOMPARE(image.pixelColor(95, 39), face.Color); // the fill reaches the last row
    QCOMPARE(image.pixelColor(99, 39), kLbTransparent);
}

void TestLbButtons::bevels_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("flat");
    QTest::addColumn<bool>("hot");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<QString>("topLeft"); // L light, S shadow, F face, D 3-D dark shadow
    QTest::addColumn<QString>("bottomRight");
    QTest::newRow("normal") << int(bsNormal) << false << false << false << "L"
                            << "S";
    QTest::newRow("normal pressed swaps") << int(bsNormal) << false << false << true << "S"
                                          << "L";
    QTest::newRow("flat shows no bevel") << int(bsNormal) << true << false << false << "F"
                                         << "F";
    QTest::newRow("flat and hot") << int(bsNormal) << true << true << false << "L"
                                  << "S";
    QTest::newRow("encarta") << int(bsEncarta) << false << false << false << "L"
                             << "S";
    QTest::newRow("old") << int(bsOld) << false << false << false << "L"
                         << "D";
    QTest::newRow("old pressed") << int(bsOld) << false << false << true << "D"
                                 << "L";
}

void TestLbButtons::bevels()
{
    QFETCH(int, style);
    QFETCH(bool, flat);
    QFETCH(bool, hot);
    QFETCH(bool, pressed);
    QFETCH(QString, topLeft);
    QFETCH(QString, bottomRight);
    TLbFace face = PlainFace(static_cast<TLbButtonStyle>(style));
    face.HotTrackColor = clNone;
    face.Flat = flat;
    face.Hot = hot;
    face.Pressed = pressed;
    const auto colour = [&](const QString &code) {
        if (code == QLatin1String("L"))
            return face.LightColor;
        if (code == QLatin1String("S"))
            return face.ShadowColor;
        if (code == QLatin1String("D"))
            return QGuiApplication::palette().color(QPalette::Shadow);
        return face.Color;
    };
    const QImage image = Render(face);
    QCOMPARE(image.pixel(0, 0), colour(topLeft).rgb());
    QCOMPARE(image.pixel(50, 0), colour(topLeft).rgb());
    QCOMPARE(image.pixel(99, 39), colour(bottomRight).rgb());
    QCOMPARE(image.pixel(50, 39), colour(bottomRight).rgb());
}

void TestLbButtons::captionCutting_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("glyphWidth");
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("wordWrap");
    QTest::newRow("wide enough") << 200 << 0 << int(blGlyphLeft) << false;
    QTest::newRow("narrow") << 50 << 0 << int(blGlyphLeft) << false;
    QTest::newRow("narrow with a glyph beside") << 60 << 18 << int(blGlyphLeft) << false;
    QTest::newRow("glyph on top takes no width") << 60 << 18 << int(blGlyphTop) << false;
    QTest::newRow("too narrow for anything") << 8 << 0 << int(blGlyphLeft) << false;
    QTest::newRow("word wrap keeps the caption") << 50 << 0 << int(blGlyphLeft) << true;
}

void TestLbButtons::captionCutting()
{
    QFETCH(int, width);
    QFETCH(int, glyphWidth);
    QFETCH(int, layout);
    QFETCH(bool, wordWrap);
    TLbFace face = PlainFace(bsNormal);
    face.Width = width;
    face.Caption = QStringLiteral("Wiederholen");
    face.Layout = static_cast<TLbButtonLayout>(layout);
    face.WordWrap = wordWrap;
    if (glyphWidth > 0) {
        face.Glyph = QImage(2 * glyphWidth, glyphWidth, QImage::Format_ARGB32);
        face.Glyph.fill(Qt::black);
        face.NumGlyphs = 2;
    }
    const QFontMetrics metrics(face.Font);
    const bool sideways = layout == blGlyphLeft || layout == blGlyphRight;
    const int tw = qMax(0, width - 8 - (sideways && glyphWidth > 0 ? glyphWidth + 4 : 0));
    const TLbFaceLayout result = LayoutButtonFace(face);
    QCOMPARE(result.CaptionRect.width(), tw);
    if (wordWrap) {
        QCOMPARE(result.Caption, face.Caption);
        return;
    }
    QVERIFY(face.Caption.startsWith(result.Caption));
    QVERIFY(metrics.horizontalAdvance(result.Caption) <= tw);
    if (result.Caption != face.Caption) // one more character would not have fitted
        QVERIFY(metrics.horizontalAdvance(face.Caption.left(result.Caption.size() + 1)) > tw);
    QCOMPARE(FitCaption(face.Caption, metrics, tw), result.Caption);
}

void TestLbButtons::glyphPlacement_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<QPoint>("glyphAt");
    // A 100 x 40 face, an 18 x 18 glyph cell, no caption.
    QTest::newRow("left, centred")
        << int(bsNormal) << int(blGlyphLeft) << int(taCenter) << false << QPoint(41, 11);
    QTest::newRow("left, centred, pressed")
        << int(bsNormal) << int(blGlyphLeft) << int(taCenter) << true << QPoint(42, 12);
    QTest::newRow("encarta does not shift")
        << int(bsEncarta) << int(blGlyphLeft) << int(taCenter) << true << QPoint(41, 11);
    QTest::newRow("left, left aligned")
        << int(bsNormal) << int(blGlyphLeft) << int(taLeftJustify) << false << QPoint(4, 11);
    QTest::newRow("left, right aligned")
        << int(bsNormal) << int(blGlyphLeft) << int(taRightJustify) << false << QPoint(78, 11);
    QTest::newRow("right, right aligned")
        << int(bsNormal) << int(blGlyphRight) << int(taRightJustify) << false << QPoint(78, 11);
    QTest::newRow("top, centred") << int(bsNormal) << int(blGlyphTop) << int(taCenter) << false
                                  << QPoint(41, 9);
    QTest::newRow("bottom, left") << int(bsNormal) << int(blGlyphBottom) << int(taLeftJustify)
                                  << false << QPoint(4, 9);
    QTest::newRow("shape, centred without shift")
        << int(bsShape) << int(blGlyphLeft) << int(taLeftJustify) << true << QPoint(41, 11);
}

void TestLbButtons::glyphPlacement()
{
    QFETCH(int, style);
    QFETCH(int, layout);
    QFETCH(int, alignment);
    QFETCH(bool, pressed);
    QFETCH(QPoint, glyphAt);
    TLbFace face = PlainFace(static_cast<TLbButtonStyle>(style));
    face.Layout = static_cast<TLbButtonLayout>(layout);
    face.Alignment = static_cast<TAlignment>(alignment);
    face.Pressed = pressed;
    face.Glyph = ColouredStrip({Qt::blue, Qt::gray}, 18);
    face.NumGlyphs = 2;
    const TLbFaceLayout result = LayoutButtonFace(face);
    QCOMPARE(result.GlyphRect, QRect(glyphAt, QSize(18, 18)));
    const QImage image = Render(face);
    QCOMPARE(image.pixelColor(glyphAt + QPoint(9, 9)), QColor(Qt::blue));
    // The bottom-left pixel of the cell is keyed out: the face shows through.
    QCOMPARE(image.pixelColor(glyphAt + QPoint(0, 17)),
             style == bsShape ? kLbTransparent : result.FaceColor);
}

void TestLbButtons::glyphCells_data()
{
    QTest::addColumn<int>("numGlyphs");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("hot");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<int>("cell");
    QTest::newRow("4 cells, normal") << 4 << true << false << false << 0;
    QTest::newRow("4 cells, disabled") << 4 << false << true << true << 1;
    QTest::newRow("4 cells, pressed") << 4 << true << false << true << 2;
    QTest::newRow("4 cells, hot") << 4 << true << true << false << 3;
    QTest::newRow("4 cells, pressed wins over hot") << 4 << true << true << true << 2;
    QTest::newRow("3 cells, hot stays 0") << 3 << true << true << false << 0;
    QTest::newRow("2 cells, pressed stays 0") << 2 << true << false << true << 0;
}

void TestLbButtons::glyphCells()
{
    QFETCH(int, numGlyphs);
    QFETCH(bool, enabled);
    QFETCH(bool, hot);
    QFETCH(bool, pressed);
    QFETCH(int, cell);
    const QList<QColor> colours{Qt::red, Qt::gray, Qt::green, Qt::blue};
    TLbFace face = PlainFace(bsNormal);
    face.Color = Qt::white;
    face.HotTrackColor = clNone;
    face.Glyph = ColouredStrip(colours.mid(0, numGlyphs), 18);
    face.NumGlyphs = numGlyphs;
    face.Enabled = enabled;
    face.Hot = hot;
    face.Pressed = pressed;
    const TLbFaceLayout result = LayoutButtonFace(face);
    QCOMPARE(result.GlyphCell, cell);
    QCOMPARE(Render(face).pixelColor(result.GlyphRect.center()), colours[cell]);
}

void TestLbButtons::disabledCaptionIsGrey()
{
    for (const TLbButtonStyle style : {bsNormal, bsShape}) {
        TLbFace face = PlainFace(style);
        face.Color = Qt::white;
        face.Caption = QStringLiteral("MMMMMM");
        face.FontColor = Qt::blue;
        face.Enabled = false;
        face.Font.setPixelSize(30);
        const QImage image = Render(face);
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y) & 0xFFFFFF);
        // bsShape keeps the font's own colour even when disabled.
        const QRgb text = style == bsShape ? 0x0000FF : 0x808080;
        QVERIFY2(colours.contains(text), style == bsShape ? "shape" : "normal");
    }
}

void TestLbButtons::popupArrow()
{
    TLbFace face = PlainFace(bsNormal);
    face.HotTrackColor = clNone;
    face.HasPopupMenu = true;
    const QImage image = Render(face);
    // The 5 x 3 triangle at (W - 11, H / 2 - 1): a full top row, its white corners keyed out.
    for (int x = 89; x < 94; ++x)
        QCOMPARE(image.pixelColor(x, 19), QColor(Qt::black));
    QCOMPARE(image.pixelColor(91, 21), QColor(Qt::black));
    QCOMPARE(image.pixelColor(89, 21), face.Color);
}

void TestLbButtons::presetsAndKinds()
{
    TLbColorPreset preset;
    QVERIFY(!LbColorPreset(lcsCustom, preset));
    QVERIFY(LbColorPreset(lcsQuicken, preset));
    QCOMPARE(preset.Color, QColor(0x00, 0x30, 0x60));
    QCOMPARE(preset.FontColor, QColor(Qt::white));
    QCOMPARE(preset.Style, bsQuicken);
    QVERIFY(LbColorPreset(lcsGold, preset));
    QVERIFY(!preset.ColorWhenDown.isValid());
    QCOMPARE(preset.HotTrackColor, QColor(0xDF, 0xDF, 0x00));
    QCOMPARE(LbKindInfo(bkClose).Caption, QStringLiteral("Schließen"));
    QVERIFY(LbKindInfo(bkCustom).GlyphResource.isEmpty());
}

QTEST_MAIN(TestLbButtons)
#include "tst_lbbuttons.moc"
