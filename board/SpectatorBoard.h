#pragma once

#include "BoardGeometry.h"
#include "LiveStandings.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class QKeyEvent;
class QScreen;
class QWindow;

// The board for the spectators: a window of its own, meant for a second screen or a projector,
// that shows the race title, the clock, how far the leader still has to go and every car's
// position, number, driver, laps, last and best lap and gap, in type as large as the screen
// allows. The car that crossed last is marked for a moment; the final results carry the
// chequered flag, and so does each car in the finish; a car a verdict took out shows the
// verdict ("DNF") in place of its position and has no flag.
//
// It never takes the focus from the operator's window. A key that still reaches it goes to
// OnKey, so a lap key pressed while it is somehow active is not lost.
class TSpectatorBoard : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kMarkMs = 2000;
    // Some platforms activate a new window whatever it asks for; an activation this soon after
    // showing is handed back to the window that had it.
    static constexpr int kSettleMs = 1000;

    // What one piece of text on the board is, for the checks that nothing is cut.
    enum class TCellKind { Title, Clock, ClockLabel, Progress, Heading, Driver, Fixed };
    struct TCellView
    {
        TCellKind kind;
        QRect rect; // the room the text may use
        QFont font;
        QString text;  // as given
        QString shown; // as drawn: the driver's name may be elided
    };

    explicit TSpectatorBoard(QWidget *parent = nullptr);

    // Takes a new snapshot; called on every press, so it repaints only the cells that changed
    // and lays the board out afresh only when the number of rows changes or a text outgrows
    // its column.
    void Show(const TLiveStandings &standings);
    // Full screen on the given screen (the primary one for nullptr), without taking the focus.
    void ShowOnScreen(QScreen *screen);
    // Back to an ordinary window; also on Escape, when the board has the keys, and on a double
    // click, which needs no focus.
    void leaveFullScreen();

    // How long the last car to cross stays marked; tests shorten it.
    void setMarkDuration(int ms);
    int markedCar() const { return m_markedCar; }
    bool showsFlag() const { return m_state == TLiveState::lsEnded; }
    int layoutCount() const { return m_layoutCount; }
    const TBoardGeometry &geometry() const { return m_geometry; }
    QList<TCellView> cells() const;

    // Keys that reach the board (other than Escape in full screen) are handed here.
    std::function<void(QKeyEvent *)> OnKey;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct TRowTexts
    {
        std::array<QString, kBoardColumns> text;
        std::array<QString, kBoardColumns> shown;
        int car = 0;
        bool flag = false; // in the finish: the chequered flag beside the row
        bool overdue = false;
    };

    void relayout();
    void elideAll();
    QString elidedDriver(const QString &name) const;
    QString elidedTitle(const QString &title) const;
    // Only for a text wider than any column may grow: every ordinary one fits whole.
    QString elidedFixed(int column, const QString &text) const;
    void takeHeader(const TLiveStandings &standings);
    // True when a changed text no longer fits its column.
    bool takeRows(const QList<TLiveRow> &rows);
    bool outgrows(int column, const QString &text);
    void takeMark(const TLiveStandings &standings);
    void unmark();
    void updateCar(int car);
    void paintBoard(QPainter &painter, const QRect &dirty) const;
    void paintRow(QPainter &painter, int row) const;

    TBoardGeometry m_geometry;
    // Measured on every press, so made once per layout.
    QFontMetrics m_rowMetrics{QFont()};
    QFontMetrics m_clockMetrics{QFont()};
    QFontMetrics m_titleMetrics{QFont()};
    TBoardColumnTexts m_widest;
    QString m_title, m_titleShown, m_clock, m_clockWidest, m_clockLabel, m_progress;
    TLiveState m_state = TLiveState::lsReady;
    QList<TRowTexts> m_rows;
    qint64 m_seenVersion = -1;
    int m_markedCar = 0;
    QTimer m_markTimer;
    int m_layoutCount = 0;
    QPointer<QWindow> m_operatorWindow; // had the focus when the board was shown
    QElapsedTimer m_shownAt;
};
