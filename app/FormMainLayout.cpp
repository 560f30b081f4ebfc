// The window's controls: where each sits, its font, colour, caption and hint.
#include "FormMain.h"

#include "CommandAction.h"
#include "StandingsView.h"

#include "ClockText.h"
#include "WindowLook.h"

#include "DlgYesNo.h"
#include "FlEdit.h"
#include "LbButton.h"
#include "StartButton.h"
#include "TSortGrid.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kHeaderHeight = 88;
constexpr int kStatusBarHeight = 19;
constexpr int kCommandPanelWidth = 168;
constexpr int kSpeedButtonSize = 36;
constexpr int kSpeedButtonIconSize = 32;
constexpr int kHeaderFontPx = 13;
constexpr int kWindowFontPx = 13;
constexpr int kClockFontPx = 27;
constexpr int kSmallestClockFontPx = 12;
constexpr int kClockTextMargin = 2; // the line edit's own space left and right of its text
constexpr int kGridFontPx = 13;
constexpr int kLogoFontPx = 27;
constexpr int kLogoShadowOffset = 2;
constexpr int kMinimumGridWidth = 792;
constexpr int kMinZoomPercent = 70;
constexpr int kMaxZoomPercent = 300;
// The header was laid out for this client width; controls anchored to the right edge keep their
// distance to it.
constexpr int kDesignClientWidth = 844;

const QString kStatusText = QStringLiteral(
    "F1-F12: Runde je Auto   Ctrl+S: START/STOPP   Ctrl+N: Neu   Ctrl+O: Starterliste   "
    "Ctrl+R: Frühere Rennen   Ctrl+H: Hilfe");

// One label behind the number fields: its words sit in the gaps between the fields.
const QString kFieldLabels =
    QStringLiteral("Autos:             Runden:             je                    km   Warnzeit:");
// Where "je" belongs: in the gap between the laps field and the lap length field.
constexpr int kJeGapLeft = 219;
constexpr int kJeGapRight = 236;

// The label behind the number fields. Its words land in the gaps between the fields only with
// spaces as wide as the original header font had them, so it draws every space with the width
// that puts "je" into its gap, whatever font stands in.
class TFieldLabel : public QLabel
{
public:
    TFieldLabel(const QString &text, QWidget *parent) : QLabel(text, parent) {}

    void FitToGaps()
    {
        const QFontMetricsF metrics(font());
        const qsizetype je = text().indexOf(QStringLiteral("je"));
        const QString beforeJe = text().left(je);
        const qsizetype spaces = beforeJe.count(QLatin1Char(' '));
        const qreal jeLeft =
            (kJeGapLeft + kJeGapRight - metrics.horizontalAdvance(QStringLiteral("je"))) / 2 - x();
        const qreal words = metrics.horizontalAdvance(QString(beforeJe).remove(QLatin1Char(' ')));
        FSpaceWidth = qMax(metrics.horizontalAdvance(QLatin1Char(' ')), (jeLeft - words) / spaces);
        resize(int(std::ceil(textWidth())), height());
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        const QFontMetricsF metrics(font());
        const qreal baseline = (height() - metrics.height()) / 2 + metrics.ascent();
        qreal x = 0;
        for (const QString &word : text().split(QLatin1Char(' '))) {
            painter.drawText(QPointF(x, baseline), word);
            x += metrics.horizontalAdvance(word) + FSpaceWidth;
        }
    }

private:
    qreal textWidth() const
    {
        const QFontMetricsF metrics(font());
        qreal width = 0;
        for (const QString &word : text().split(QLatin1Char(' ')))
            width += metrics.horizontalAdvance(word) + FSpaceWidth;
        return width - FSpaceWidth;
    }

    qreal FSpaceWidth = 0;
};

QIcon twoStateIcon(const QString &name)
{
    QIcon icon;
    icon.addPixmap(QPixmap(QStringLiteral(":/window/%1.png").arg(name)), QIcon::Normal);
    icon.addPixmap(QPixmap(QStringLiteral(":/window/%1_disabled.png").arg(name)), QIcon::Disabled);
    return icon;
}

QToolButton *speedButton(QWidget *parent, const QString &name, const QString &image,
                         const QString &hint, int left, int top)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setGeometry(left, top, kSpeedButtonSize, kSpeedButtonSize);
    button->setIcon(twoStateIcon(image));
    button->setIconSize(QSize(kSpeedButtonIconSize, kSpeedButtonIconSize));
    button->setAutoRaise(true);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus); // speed buttons never take the focus
    return button;
}

QLabel *label(QWidget *parent, const QString &name, const QString &text, int left, int top)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->move(left, top);
    l->adjustSize();
    return l;
}

QSpinBox *spinEdit(QWidget *parent, const QString &name, const QRect &bounds, int min, int max,
                   int value)
{
    auto *spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setGeometry(bounds);
    spin->setRange(min, max);
    spin->setValue(value);
    return spin;
}

} // namespace

void InitWindowResources()
{
    Q_INIT_RESOURCE(window);
}

void TFormMain::BuildHeader()
{
    Panel1 = new QWidget;
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(kHeaderHeight);
    Panel1->setAutoFillBackground(true);
    QPalette headerPalette = Panel1->palette();
    headerPalette.setColor(QPalette::Window, headerPalette.color(QPalette::Base));
    Panel1->setPalette(headerPalette);
    Panel1->setFont(PixelFont(kHeaderFontFamily, kHeaderFontPx, true));
    Panel1->installEventFilter(this);

    Label7 = label(Panel1, QStringLiteral("Label7"), QStringLiteral("Rennen:"), 4, 5);
    eTitle = new QLineEdit(QStringLiteral("Circuit de Monaco, Monte Carlo"), Panel1);
    eTitle->setObjectName(QStringLiteral("eTitle"));
    eTitle->setGeometry(62, 2, 251, 24);
    eTitle->setCursorPosition(0);

    Label4 = label(Panel1, QStringLiteral("Label4"), QStringLiteral("Session:"), 352, 5);
    cbTip = new QComboBox(Panel1);
    cbTip->setObjectName(QStringLiteral("cbTip"));
    cbTip->setGeometry(413, 2, 84, 24);
    cbTip->addItems({QStringLiteral("Rennen"), QStringLiteral("Training")});
    cbTip->setCurrentIndex(0);

    eTime = label(Panel1, QStringLiteral("eTime"), QString(), 542, 5);
    eTime->setAlignment(Qt::AlignCenter);

    auto *fieldLabel = new TFieldLabel(kFieldLabels, Panel1);
    fieldLabel->setObjectName(QStringLiteral("Label11"));
    fieldLabel->move(18, 31);
    fieldLabel->adjustSize();
    fieldLabel->FitToGaps();
    Label11 = fieldLabel;
    seCarCount = spinEdit(Panel1, QStringLiteral("seCarCount"), QRect(62, 28, 41, 26), 1, kMaxCars,
                          kMaxCars);
    seKrugs = spinEdit(Panel1, QStringLiteral("seKrugs"), QRect(171, 28, 48, 26), 1, kMaxLaps, 5);

    feDist = new TSpinFloatEdit(Panel1);
    feDist->setObjectName(QStringLiteral("feDist"));
    feDist->setGeometry(236, 28, 77, 26);
    feDist->SetIncrement(0.1);
    feDist->SetDigits(3);
    feDist->SetMax(100.0);
    feDist->SetValue(15.0);
    feDist->SetAlignment(taRightJustify);

    meTimeWarn = new QLineEdit(Panel1);
    meTimeWarn->setObjectName(QStringLiteral("meTimeWarn"));
    meTimeWarn->setGeometry(413, 28, 51, 24);
    meTimeWarn->setInputMask(QStringLiteral("99:99;_"));
    meTimeWarn->setText(QStringLiteral("05:00"));
    meTimeWarn->setMaxLength(5);
    meTimeWarn->setToolTip(QStringLiteral("TimeFormat MM:SS"));

    Label1 = label(Panel1, QStringLiteral("Label1"), QStringLiteral("Counter:"), 490, 58);
    meTime = new QLineEdit(FormatClock(kDefaultRaceSeconds), Panel1);
    meTime->setObjectName(QStringLiteral("meTime"));
    meTime->setGeometry(551, 46, 121, 39);
    meTime->setFont(PixelFont(kDisplayFontFamily, kClockFontPx, true));
    meTime->installEventFilter(this);
    connect(meTime, &QLineEdit::textChanged, this, &TFormMain::FitClockFont);

    BuildCommandPanel();
    BuildLogo();
    // Left of the logo, in front of its panel.
    cbFinish = new QComboBox(Panel1);
    cbFinish->setObjectName(QStringLiteral("cbFinish"));
    cbFinish->setGeometry(4, 59, 148, 24);
    cbFinish->addItems({QStringLiteral("Alle Runden"), QStringLiteral("Flagge nach Runden"),
                        QStringLiteral("Zeit + 1 Runde"), QStringLiteral("Runden oder Zeit")});
    cbFinish->setToolTip(QStringLiteral(
        "Rennende. Alle Runden: jedes Auto fährt alle Runden. Flagge nach Runden: hat der "
        "Führende alle Runden, endet jedes Auto bei seiner nächsten Durchfahrt. Zeit + 1 Runde: "
        "ist die Rennzeit (Counter) abgelaufen, nimmt der Führende bei seiner nächsten "
        "Durchfahrt die Flagge, dann jedes Auto bei seiner nächsten. Runden oder Zeit: was "
        "zuerst eintritt."));
    cbFinish->raise();
}

void TFormMain::BuildCommandPanel()
{
    Panel2 = new QFrame(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setLineWidth(2);
    Panel2->setAutoFillBackground(true);
    QPalette panelPalette = Panel2->palette();
    panelPalette.setColor(QPalette::Window, kGreyGreen);
    Panel2->setPalette(panelPalette);

    sbHelp = speedButton(Panel2, QStringLiteral("sbHelp"), QStringLiteral("help"),
                         QStringLiteral("[Ctrl+H] Hilfe"), 6, 6);
    sbExcel = speedButton(Panel2, QStringLiteral("sbExcel"), QStringLiteral("excel"),
                          QStringLiteral("Export nach MS Excel"), 46, 6);
    sbWeb = speedButton(Panel2, QStringLiteral("sbWeb"), QStringLiteral("web"),
                        QStringLiteral("Als Webseite"), 86, 6);
    sbNew = speedButton(Panel2, QStringLiteral("sbNew"), QStringLiteral("new"),
                        QStringLiteral("[Ctrl+N] Neu"), 126, 6);
    bStartList = speedButton(Panel2, QStringLiteral("bStartList"), QStringLiteral("startlist"),
                             QString(), 6, 47);
    sbExcel->setEnabled(false);
    sbWeb->setEnabled(false);
    sbNew->setEnabled(false);
    connect(sbHelp, &QToolButton::clicked, this, [this] { sbHelpClick(sbHelp); });
    connect(sbExcel, &QToolButton::clicked, this, [this] { sbExcelClick(sbExcel); });
    connect(sbWeb, &QToolButton::clicked, this, [this] { sbWebClick(sbWeb); });
    connect(sbNew, &QToolButton::clicked, this, [this] { sbNewClick(sbNew); });
    connect(bStartList, &QToolButton::clicked, this, [this] { bStartListClick(bStartList); });

    bSTART2 = new TLbButton(Panel2);
    bSTART2->setObjectName(QStringLiteral("bSTART2"));
    bSTART2->setGeometry(46, 47, 115, 36);
    SetUpStartButton(*bSTART2, kDisplayFontFamily);
    bSTART2->setCursor(Qt::PointingHandCursor);
    bSTART2->setToolTip(QStringLiteral("[Ctrl+S]"));
    bSTART2->OnMouseDown = [this](QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        mStart2Click(bSTART2);
    };
    bSTART2->OnMouseUp = [this](QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        eTitle->setFocus();
    };
    ShowStartButton(QStringLiteral("START"), kStartReady, kStartReadyLight);
}

void TFormMain::BuildLogo()
{
    Panel5 = new QWidget(Panel1);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    Panel5->setGeometry(4, 56, 425, 33);

    const QFont logoFont = PixelFont(kDisplayFontFamily, kLogoFontPx, true);
    const QString halves[2] = {QStringLiteral("Chro"), QStringLiteral("vix")};
    const QColor colours[2] = {kLogoRed, kLogoGreen};
    const QFontMetrics metrics(logoFont);
    int left = (Panel5->width() - metrics.horizontalAdvance(halves[0] + halves[1])) / 2;
    const int top = (Panel5->height() - metrics.height()) / 2 - 1;
    for (int i = 0; i < 2; ++i) {
        LogoShadows[i] = new QLabel(halves[i], Panel5);
        LogoLabels[i] = new QLabel(halves[i], Panel5);
        for (QLabel *part : {LogoShadows[i], LogoLabels[i]}) {
            part->setFont(logoFont);
            part->adjustSize();
        }
        LogoShadows[i]->setStyleSheet(QStringLiteral("color: black"));
        LogoLabels[i]->setStyleSheet(QStringLiteral("color: %1").arg(colours[i].name()));
        LogoShadows[i]->move(left + kLogoShadowOffset, top + kLogoShadowOffset);
        LogoLabels[i]->move(left, top);
        LogoLabels[i]->setCursor(Qt::PointingHandCursor);
        LogoLabels[i]->installEventFilter(this);
        left += metrics.horizontalAdvance(halves[i]);
    }
}

void TFormMain::BuildStandings()
{
    Panel4 = new QWidget;
    Panel4->setObjectName(QStringLiteral("Panel4"));
    auto *gridLayout = new QVBoxLayout(Panel4);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    SortGrid1 = new TSortGrid(Panel4);
    SortGrid1->setObjectName(QStringLiteral("SortGrid1"));
    SortGrid1->setMinimumWidth(kMinimumGridWidth);
    SortGrid1->setFont(PixelFont(kDisplayFontFamily, kGridFontPx, true));
    SortGrid1->SetFixedColor(kGreyGreen);
    SortGrid1->SetScrollBars(ssNone);
    SortGrid1->SetAlignmentHorz(taRightJustify);
    SortGrid1->SetAlignmentVert(taMiddle);
    // Lines between all cells, column widths dragged by the user, Tab between cells, the focused
    // cell drawn as selected; no range selection, which would paint the top row as selected
    // and hide its warning colour.
    SortGrid1->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine |
                          goColSizing | goTabs | goDrawFocusSelected);
    SortGrid1->installEventFilter(this);
    gridLayout->addWidget(SortGrid1);

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(Panel4, 1);
    setCentralWidget(central);

    StatusBar1 = new QStatusBar;
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(kStatusBarHeight);
    StatusBar1->setSizeGripEnabled(false);
    auto *statusText = new QLabel(kStatusText);
    statusText->setObjectName(QStringLiteral("StatusKeys"));
    statusText->setFont(PixelFont(kHeaderFontFamily, 11, false));
    StatusBar1->addWidget(statusText, 1);
    setStatusBar(StatusBar1);
}

void TFormMain::BuildMenu()
{
    // The menu stays invisible: its actions live on the window only for their shortcuts, which
    // therefore work whatever state the matching buttons are in.
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    MainMenu1->hide();
    Machine1 = MainMenu1->addMenu(QStringLiteral("Machine"));
    Machine1->setObjectName(QStringLiteral("Machine1"));
    Hilfe1 = MainMenu1->addMenu(QStringLiteral("Hilfe"));
    Hilfe1->setObjectName(QStringLiteral("Hilfe1"));
    for (int car = 1; car <= kMaxCars; ++car) {
        QAction *key = new QAction(QStringLiteral("F%1").arg(car), this);
        key->setObjectName(QStringLiteral("F%11").arg(car));
        key->setShortcut(QKeySequence(Qt::Key_F1 + (car - 1)));
        // A press must count while another window of the program, such as the help viewer,
        // has the keyboard; a modal question still holds the keys back.
        key->setShortcutContext(Qt::ApplicationShortcut);
        key->setData(car);
        // Every press goes through the race session, whichever way the key arrives.
        connect(key, &QAction::triggered, this,
                [this, car] { PressLap(car, FTicks.GetTickCount()); });
        addAction(key);
        Machine1->addAction(key);
        LapKeys[car - 1] = key;
    }
    const auto command = [this](QMenu *menu, const QString &name, const QString &caption,
                                const QKeySequence &keys, auto handler) {
        QAction *action = new QAction(caption, this);
        action->setObjectName(name);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this,
                [this, action, handler] { (this->*handler)(action); });
        addAction(action);
        menu->addAction(action);
        return action;
    };
    mStart = command(Machine1, QStringLiteral("mStart"), QStringLiteral("Start"),
                     QKeySequence(Qt::CTRL | Qt::Key_S), &TFormMain::mStart2Click);
    New1 = command(Hilfe1, QStringLiteral("New1"), QStringLiteral("New"),
                   QKeySequence(Qt::CTRL | Qt::Key_N), &TFormMain::sbNewClick);
    Help1 = command(Hilfe1, QStringLiteral("Help1"), QStringLiteral("Help"),
                    QKeySequence(Qt::CTRL | Qt::Key_H), &TFormMain::sbHelpClick);
    Open1 = command(Hilfe1, QStringLiteral("Open1"), QStringLiteral("Open"),
                    QKeySequence(Qt::CTRL | Qt::Key_O), &TFormMain::bStartListClick);
    Archiv1 = MainMenu1->addMenu(QStringLiteral("Archiv"));
    Archiv1->setObjectName(QStringLiteral("Archiv1"));
    Archive1 = command(Archiv1, QStringLiteral("Archive1"), QStringLiteral("Frühere Rennen"),
                       QKeySequence(Qt::CTRL | Qt::Key_R), &TFormMain::ShowArchive);
}

void TFormMain::SetStandingsZoom(int percent)
{
    percent = std::clamp(percent, kMinZoomPercent, kMaxZoomPercent);
    const double before = Standings->Zoom;
    const double zoom = percent / 100.0;
    if (FBaseRowHeight == 0)
        FBaseRowHeight = SortGrid1->DefaultRowHeight();
    StandingsZoomPercent = percent;
    // Taken before a larger grid can widen the window.
    if (before != zoom && before == 1.0 && !FSizeBeforeZoom)
        FSizeBeforeZoom = std::pair(size(), isMaximized());
    SortGrid1->setFont(PixelFont(kDisplayFontFamily, int(std::lround(kGridFontPx * zoom)), true));
    SortGrid1->SetDefaultRowHeight(int(std::lround(FBaseRowHeight * zoom)));
    Standings->Zoom = zoom;
    Standings->ScaleColumns();
    // The window never grows past its screen: the grid's columns give up width instead.
    const int widest = AvailableArea().width() - FrameExtent().width();
    const int besideGrid = width() - SortGrid1->width();
    SortGrid1->setMinimumWidth(
        qMin(int(std::lround(kMinimumGridWidth * zoom)), widest - besideGrid));
    // The window's own minimum follows the grid's only when its layouts run: now, so a smaller
    // zoom can give the window its width back at once.
    for (QWidget *part = SortGrid1->parentWidget(); part; part = part->parentWidget()) {
        if (part->layout())
            part->layout()->activate();
    }
    // The width goes with the height in one request: the window system answers a request
    // later, so a second one would still see the old width.
    int wantedWidth = width();
    if (zoom == 1.0 && FSizeBeforeZoom) {
        // Back to the size, or the maximised window, from before the zoom.
        const auto [size, maximised] = *std::exchange(FSizeBeforeZoom, std::nullopt);
        if (maximised)
            showMaximized();
        wantedWidth = qMin(size.width(), widest);
    } else if (before != zoom) {
        wantedWidth = qMin(int(std::lround(width() * zoom / before)), widest);
    }
    FitHeightToRows(wantedWidth);
    FormResize();
    SortGrid1->viewport()->update();
}

QAction *TFormMain::AddCommand(QWidget *owner, const QString &name, const QString &caption,
                               const QList<QKeySequence> &keys, std::function<void()> handler,
                               Qt::ShortcutContext context)
{
    return AddCommandAction(owner, this, name, caption, keys, std::move(handler), context);
}

void TFormMain::BuildTimers()
{
    TimerALL = new QTimer(this);
    TimerALL->setObjectName(QStringLiteral("TimerALL"));
    TimerALL->setInterval(kTimerAllMs);
    TimerALL->setTimerType(Qt::PreciseTimer);
    connect(TimerALL, &QTimer::timeout, this, &TFormMain::TimerALLTimer);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimer1Ms);
    connect(Timer1, &QTimer::timeout, this, &TFormMain::Timer1Timer);
}

void TFormMain::FitClockFont()
{
    // A race clock of 100 hours or more has a third hour digit: the clock's type shrinks until
    // every digit fits instead of being cut.
    QStyleOptionFrame option;
    option.initFrom(meTime);
    option.lineWidth =
        meTime->hasFrame()
            ? meTime->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, meTime)
            : 0;
    const int room =
        meTime->style()->subElementRect(QStyle::SE_LineEditContents, &option, meTime).width() -
        2 * kClockTextMargin;
    QFont font = PixelFont(kDisplayFontFamily, kClockFontPx, true);
    while (font.pixelSize() > kSmallestClockFontPx &&
           QFontMetrics(font).horizontalAdvance(meTime->text()) > room)
        font.setPixelSize(font.pixelSize() - 1);
    if (font.pixelSize() != meTime->font().pixelSize())
        meTime->setFont(font);
}

void TFormMain::PlaceAnchoredControls()
{
    const int width = Panel1->width();
    const int shift = width - kDesignClientWidth;
    Label1->move(490 + shift, 58);
    meTime->move(551 + shift, 46);
    Panel2->setGeometry(width - kCommandPanelWidth, 0, kCommandPanelWidth, kHeaderHeight);
}

int TFormMain::HeaderHeight()
{
    return kHeaderHeight;
}

void TFormMain::SetUpWindowLook()
{
    setWindowTitle(kCaption);
    setWindowIcon(QIcon(QStringLiteral(":/window/talvenbahn.png")));
    setFont(PixelFont(kWindowFontFamily, kWindowFontPx, false));
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, kMoneyGreen);
    setPalette(windowPalette);
    setAutoFillBackground(true);
    resize(kInitialWidth, kInitialHeight);
}

void TFormMain::ShowStartButton(const QString &caption, const QColor &color,
                                const QColor &lightColor)
{
    ShowStartButtonState(*bSTART2, caption, color, lightColor);
}
