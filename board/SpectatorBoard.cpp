#include "SpectatorBoard.h"

#include "BoardTexts.h"
#include "ChequeredFlag.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace {

const QColor kBackground(11, 14, 20);
const QColor kStripe(24, 30, 42);
const QColor kText(245, 245, 245);
const QColor kHeading(160, 170, 185);
const QColor kClock(255, 213, 74);
const QColor kMarkBackground(255, 213, 74);
const QColor kMarkText(0, 0, 0);
const QColor kOverdue(255, 171, 64);

constexpr QSize kNormalSize(1280, 720);

Qt::Alignment columnAlignment(int column)
{
    if (column == int(TBoardColumn::Driver))
        return Qt::AlignLeft | Qt::AlignVCenter;
    if (column == int(TBoardColumn::Number))
        return Qt::AlignHCenter | Qt::AlignVCenter;
    return Qt::AlignRight | Qt::AlignVCenter;
}

std::array<QString, kBoardColumns> rowTexts(const TLiveRow &row)
{
    std::array<QString, kBoardColumns> t;
    t[int(TBoardColumn::Position)] = PlaceText(row.position, row.status);
    t[int(TBoardColumn::Number)] = NumberText(row.startNumber, row.car);
    t[int(TBoardColumn::Driver)] = row.driver;
    t[int(TBoardColumn::Laps)] = QString::number(row.laps);
    t[int(TBoardColumn::LastLap)] = row.lastLap;
    t[int(TBoardColumn::BestLap)] = row.bestLap;
    t[int(TBoardColumn::Gap)] = GapText(row.lapsBehind, row.gap);
    return t;
}

bool isFixedColumn(int column)
{
    return column != int(TBoardColumn::Marker) && column != int(TBoardColumn::Driver);
}

} // namespace

TSpectatorBoard::TSpectatorBoard(QWidget *parent)
    : QWidget(parent, Qt::Window), m_widest(DefaultColumnTexts())
{
    setWindowTitle(QStringLiteral("Talvenbahn – Anzeigetafel"));
    // The operator's keys stay with the operator's window.
    setFocusPolicy(Qt::NoFocus);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Every pixel is painted here; nothing needs to be erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    resize(kNormalSize);

    m_markTimer.setSingleShot(true);
    m_markTimer.setInterval(kMarkMs);
    connect(&m_markTimer, &QTimer::timeout, this, &TSpectatorBoard::unmark);
    relayout();
}

void TSpectatorBoard::setMarkDuration(int ms)
{
    m_markTimer.setInterval(std::max(0, ms));
}

void TSpectatorBoard::Show(const TLiveStandings &standings)
{
    bool relayoutNeeded = standings.rows.size() != m_rows.size();
    if (relayoutNeeded)
        m_rows.resize(standings.rows.size());
    takeHeader(standings);
    if (standings.clockLabel != m_clockLabel) {
        m_clockLabel = standings.clockLabel;
        relayoutNeeded = true;
    }
    relayoutNeeded = takeRows(standings.rows) || relayoutNeeded;
    const int clockRoom = m_geometry.clockRect.width() - 2 * m_geometry.padding;
    if (m_clockMetrics.horizontalAdvance(m_clock) > clockRoom) {
        m_clockWidest = m_clock;
        relayoutNeeded = true;
    }
    takeMark(standings);
    if (relayoutNeeded)
        relayout();
}

void TSpectatorBoard::takeHeader(const TLiveStandings &standings)
{
    if (standings.title != m_title) {
        m_title = standings.title;
        m_titleShown = elidedTitle(m_title);
        update(m_geometry.titleRect);
    }
    if (standings.clock != m_clock) {
        m_clock = standings.clock;
        update(m_geometry.clockRect);
    }
    const QString progress =
        HeatProgressText(standings.heat, RaceProgressText(standings.state, standings.lapsToGo));
    if (progress != m_progress || standings.state != m_state) {
        m_progress = progress;
        m_state = standings.state;
        update(m_geometry.progressLineRect);
    }
}

bool TSpectatorBoard::takeRows(const QList<TLiveRow> &rows)
{
    bool grew = false;
    for (int i = 0; i < rows.size(); ++i) {
        const TLiveRow &row = rows[i];
        TRowTexts &mine = m_rows[i];
        // A car that a verdict took out is not in the finish: its place says why instead.
        const bool flag = row.finished && row.status.isEmpty();
        const bool restyled =
            mine.car != row.car || mine.flag != flag || mine.overdue != row.overdue;
        mine.car = row.car;
        mine.flag = flag;
        mine.overdue = row.overdue;
        // One repaint per row: the span of its changed cells, or all of it when restyled.
        QRect dirty = restyled ? m_geometry.rowRect(i) : QRect();
        const std::array<QString, kBoardColumns> texts = rowTexts(row);
        for (int c = 0; c < kBoardColumns; ++c) {
            if (texts[c] == mine.text[c])
                continue;
            mine.text[c] = texts[c];
            mine.shown[c] = c == int(TBoardColumn::Driver) ? elidedDriver(texts[c]) : texts[c];
            if (isFixedColumn(c))
                grew = outgrows(c, texts[c]) || grew;
            // A longer name than the board was laid out for: the type may still make room.
            else if (c == int(TBoardColumn::Driver) && m_geometry.namesWhole &&
                     mine.shown[c] != texts[c])
                grew = true;
            dirty |= m_geometry.cellRect(i, TBoardColumn(c));
        }
        if (!dirty.isNull())
            update(dirty);
    }
    return grew;
}

bool TSpectatorBoard::outgrows(int column, const QString &text)
{
    const int room = m_geometry.columnWidth[column] - 2 * m_geometry.padding;
    if (m_rowMetrics.horizontalAdvance(text) <= room)
        return false;
    m_widest[column] = text;
    return true;
}

void TSpectatorBoard::takeMark(const TLiveStandings &standings)
{
    if (standings.version == m_seenVersion)
        return;
    // The first snapshot says who crossed last, not that someone crossed just now; a lower
    // version means a new race has begun its count.
    const bool newPress = m_seenVersion >= 0 && standings.version > m_seenVersion;
    m_seenVersion = standings.version;
    if (!newPress || standings.lastCar <= 0)
        return;
    const int before = m_markedCar;
    m_markedCar = standings.lastCar;
    updateCar(before);
    updateCar(m_markedCar);
    m_markTimer.start();
}

void TSpectatorBoard::unmark()
{
    const int before = m_markedCar;
    m_markedCar = 0;
    updateCar(before);
}

void TSpectatorBoard::updateCar(int car)
{
    if (car <= 0)
        return;
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].car == car)
            update(m_geometry.rowRect(i));
    }
}

void TSpectatorBoard::relayout()
{
    const QString family = QFontInfo(font()).family();
    // The names of now, not the longest ever seen: the next race's may be shorter.
    QString &longestName = m_widest[int(TBoardColumn::Driver)];
    longestName.clear();
    for (const TRowTexts &row : m_rows) {
        const QString &name = row.text[int(TBoardColumn::Driver)];
        if (m_rowMetrics.horizontalAdvance(name) > m_rowMetrics.horizontalAdvance(longestName))
            longestName = name;
    }
    m_geometry = ComputeBoardGeometry(size(), int(m_rows.size()), m_widest, m_clockWidest,
                                      m_clockLabel, family);
    m_rowMetrics = QFontMetrics(m_geometry.rowFont);
    m_clockMetrics = QFontMetrics(m_geometry.clockFont);
    m_titleMetrics = QFontMetrics(m_geometry.titleFont);
    ++m_layoutCount;
    elideAll();
    update();
}

void TSpectatorBoard::elideAll()
{
    m_titleShown = elidedTitle(m_title);
    for (TRowTexts &row : m_rows) {
        for (int c = 0; c < kBoardColumns; ++c)
            row.shown[c] = c == int(TBoardColumn::Driver) ? elidedDriver(row.text[c])
                           : isFixedColumn(c)             ? elidedFixed(c, row.text[c])
                                                          : row.text[c];
    }
}

QString TSpectatorBoard::elidedDriver(const QString &name) const
{
    const QRect room =
        TBoardGeometry::textRect(m_geometry.cellRect(0, TBoardColumn::Driver), m_geometry.padding);
    return m_rowMetrics.elidedText(name, Qt::ElideRight, room.width());
}

QString TSpectatorBoard::elidedFixed(int column, const QString &text) const
{
    const int room = m_geometry.columnWidth[column] - 2 * m_geometry.padding;
    if (m_rowMetrics.horizontalAdvance(text) <= room)
        return text;
    return m_rowMetrics.elidedText(text, Qt::ElideRight, room);
}

QString TSpectatorBoard::elidedTitle(const QString &title) const
{
    const int room = m_geometry.titleRect.width();
    return m_titleMetrics.elidedText(title, Qt::ElideRight, room);
}

void TSpectatorBoard::ShowOnScreen(QScreen *screen)
{
    QScreen *target = screen ? screen : QGuiApplication::primaryScreen();
    if (!target)
        return;
    setScreen(target);
    setGeometry(target->geometry());
    // showFullScreen() would also activate the window and take the operator's keys.
    setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)) |
                   Qt::WindowFullScreen);
    setVisible(true);
}

void TSpectatorBoard::leaveFullScreen()
{
    if (isFullScreen())
        setWindowState(windowState() & ~Qt::WindowFullScreen);
}

void TSpectatorBoard::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    QWindow *focused = QGuiApplication::focusWindow();
    if (focused && focused != windowHandle())
        m_operatorWindow = focused;
    m_shownAt.start();
}

void TSpectatorBoard::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    if (!m_shownAt.isValid() || m_shownAt.elapsed() > kSettleMs || !m_operatorWindow)
        return;
    // Queued: the activation that is being delivered must finish first.
    QPointer<QWindow> back = m_operatorWindow;
    QTimer::singleShot(0, this, [back] {
        if (back && back->isVisible())
            back->requestActivate();
    });
}

void TSpectatorBoard::mouseDoubleClickEvent(QMouseEvent *event)
{
    leaveFullScreen();
    event->accept();
}

void TSpectatorBoard::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        leaveFullScreen();
        event->accept();
        return;
    }
    if (OnKey) {
        OnKey(event);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TSpectatorBoard::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void TSpectatorBoard::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    paintBoard(painter, event->rect());
}

void TSpectatorBoard::paintBoard(QPainter &painter, const QRect &dirty) const
{
    painter.fillRect(dirty, kBackground);
    const TBoardGeometry &g = m_geometry;
    const int pad = g.padding;

    if (dirty.intersects(g.titleRect)) {
        painter.setFont(g.titleFont);
        painter.setPen(kText);
        painter.drawText(g.titleRect, Qt::AlignLeft | Qt::AlignVCenter, m_titleShown);
    }
    if (dirty.intersects(g.clockLabelRect) && !m_clockLabel.isEmpty()) {
        painter.setFont(g.clockLabelFont);
        painter.setPen(kHeading);
        painter.drawText(TBoardGeometry::textRect(g.clockLabelRect, pad),
                         Qt::AlignRight | Qt::AlignVCenter, m_clockLabel);
    }
    if (dirty.intersects(g.clockRect)) {
        painter.setFont(g.clockFont);
        painter.setPen(kClock);
        painter.drawText(TBoardGeometry::textRect(g.clockRect, pad),
                         Qt::AlignRight | Qt::AlignVCenter, m_clock);
    }
    if (dirty.intersects(g.progressLineRect)) {
        const bool ended = m_state == TLiveState::lsEnded;
        if (ended)
            DrawChequeredFlag(painter, g.flagRect);
        painter.setFont(g.progressFont);
        painter.setPen(kText);
        painter.drawText(ended ? g.progressRect : g.progressLineRect,
                         Qt::AlignLeft | Qt::AlignVCenter, m_progress);
    }
    const QRect headingBand(g.columnLeft[0], g.headingTop, width(), g.headingHeight);
    if (dirty.intersects(headingBand)) {
        painter.setFont(g.headingFont);
        painter.setPen(kHeading);
        for (int c = 0; c < kBoardColumns; ++c) {
            const QRect cell = TBoardGeometry::textRect(g.headingRect(TBoardColumn(c)), pad);
            painter.drawText(cell, columnAlignment(c), ColumnHeading(TBoardColumn(c)));
        }
    }
    painter.setFont(g.rowFont);
    for (int i = 0; i < m_rows.size(); ++i) {
        if (dirty.intersects(g.rowRect(i)))
            paintRow(painter, i);
    }
}

void TSpectatorBoard::paintRow(QPainter &painter, int row) const
{
    const TBoardGeometry &g = m_geometry;
    const TRowTexts &texts = m_rows[row];
    const bool marked = m_markedCar > 0 && texts.car == m_markedCar;
    if (marked)
        painter.fillRect(g.rowRect(row), kMarkBackground);
    else if (row % 2 == 1)
        painter.fillRect(g.rowRect(row), kStripe);
    if (texts.flag) {
        const QRect marker = g.cellRect(row, TBoardColumn::Marker);
        const int inset = marker.height() / 5;
        DrawChequeredFlag(painter, marker.adjusted(inset / 2, inset, -inset / 2, -inset));
    }
    painter.setPen(marked ? kMarkText : texts.overdue ? kOverdue : kText);
    for (int c = 0; c < kBoardColumns; ++c) {
        if (texts.shown[c].isEmpty())
            continue;
        const QRect cell = TBoardGeometry::textRect(g.cellRect(row, TBoardColumn(c)), g.padding);
        painter.drawText(cell, columnAlignment(c), texts.shown[c]);
    }
}

QList<TSpectatorBoard::TCellView> TSpectatorBoard::cells() const
{
    const TBoardGeometry &g = m_geometry;
    QList<TCellView> out;
    out.append({TCellKind::Title, g.titleRect, g.titleFont, m_title, m_titleShown});
    out.append({TCellKind::Clock, TBoardGeometry::textRect(g.clockRect, g.padding), g.clockFont,
                m_clock, m_clock});
    if (!m_clockLabel.isEmpty())
        out.append({TCellKind::ClockLabel, TBoardGeometry::textRect(g.clockLabelRect, g.padding),
                    g.clockLabelFont, m_clockLabel, m_clockLabel});
    out.append({TCellKind::Progress,
                m_state == TLiveState::lsEnded ? g.progressRect : g.progressLineRect,
                g.progressFont, m_progress, m_progress});
    for (int c = 0; c < kBoardColumns; ++c) {
        const QString heading = ColumnHeading(TBoardColumn(c));
        if (!heading.isEmpty())
            out.append({TCellKind::Heading,
                        TBoardGeometry::textRect(g.headingRect(TBoardColumn(c)), g.padding),
                        g.headingFont, heading, heading});
    }
    for (int i = 0; i < m_rows.size(); ++i) {
        for (int c = 0; c < kBoardColumns; ++c) {
            if (c == int(TBoardColumn::Marker))
                continue;
            const QRect cell = TBoardGeometry::textRect(g.cellRect(i, TBoardColumn(c)), g.padding);
            const TCellKind kind =
                c == int(TBoardColumn::Driver) ? TCellKind::Driver : TCellKind::Fixed;
            out.append({kind, cell, g.rowFont, m_rows[i].text[c], m_rows[i].shown[c]});
        }
    }
    return out;
}
