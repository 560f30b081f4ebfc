#include "AnalysisWindow.h"

#include "ChartColours.h"
#include "FormatTime.h"
#include "LapPositions.h"
#include "WindowFit.h"

#include <QKeySequence>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>

#include <algorithm>

namespace {

constexpr int kMargin = 48;
constexpr int kLegendRow = 18;
constexpr int kLegendColumns = 4;
constexpr QSize kInitialSize(900, 700);

} // namespace

TAnalysisWindow::TAnalysisWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Talvenbahn – Rennanalyse"));
    setObjectName(QStringLiteral("AnalysisWindow"));
    resize(kInitialSize);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
}

void TAnalysisWindow::Show(const TResultsSnapshot &snapshot)
{
    FSnapshot = snapshot;
    // A starter beyond the cars has no lap key and no laps: nothing to chart.
    FSnapshot.rows.removeIf([](const TResultsRow &row) { return row.car == 0; });
    FPlaces = LapPositions(FSnapshot);
    update();
}

void TAnalysisWindow::OpenOn(QPoint centre, const QRect &available)
{
    setGeometry(PlaceOnScreen(size(), centre, available));
    show();
}

int TAnalysisWindow::LegendHeight() const
{
    return kLegendRow * ((FSnapshot.carCount() + kLegendColumns - 1) / kLegendColumns) + 8;
}

QList<TAnalysisWindow::TLegendEntry> TAnalysisWindow::Legend() const
{
    // One entry per car, four to a line, below both charts; a long name is shortened so that it
    // ends before the next entry begins.
    const int column = std::max(1, width() / kLegendColumns);
    const int top = height() - LegendHeight() + 4;
    const QFontMetrics metrics = fontMetrics();
    QList<TLegendEntry> entries;
    for (int i = 0; i < FSnapshot.carCount(); ++i) {
        const QPoint at(8 + (i % kLegendColumns) * column, top + (i / kLegendColumns) * kLegendRow);
        const QRect textRect(at + QPoint(22, 0), QSize(column - 22 - 8, kLegendRow));
        entries.append(
            {QRect(at + QPoint(0, 4), QSize(16, 8)), textRect,
             metrics.elidedText(CarLabel(FSnapshot.rows[i]), Qt::ElideRight, textRect.width())});
    }
    return entries;
}

void TAnalysisWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int chartHeight = (height() - LegendHeight()) / 2;
    paintChart(painter, QRect(0, 0, width(), chartHeight), true);
    paintChart(painter, QRect(0, chartHeight, width(), chartHeight), false);
    const QList<TLegendEntry> legend = Legend();
    for (int i = 0; i < legend.size(); ++i) {
        painter.fillRect(legend[i].swatch, ChartColour(i));
        painter.setPen(Qt::black);
        painter.drawText(legend[i].textRect, Qt::AlignLeft | Qt::AlignTop, legend[i].text);
    }
}

void TAnalysisWindow::paintChart(QPainter &painter, const QRect &area, bool places) const
{
    const QRect plot = area.adjusted(kMargin + 24, 28, -kMargin, -kMargin / 2);
    painter.setPen(Qt::black);
    QFont heading = painter.font();
    heading.setBold(true);
    painter.save();
    painter.setFont(heading);
    painter.drawText(area.left() + 8, area.top() + 18,
                     places ? QStringLiteral("Platz nach jeder Runde")
                            : QStringLiteral("Rundenzeiten"));
    painter.restore();
    const int laps = MostLaps(FSnapshot);
    if (laps == 0 || plot.width() <= 0 || plot.height() <= 0) {
        painter.drawText(plot, Qt::AlignCenter, QStringLiteral("Noch keine Runde abgeschlossen."));
        return;
    }
    // The value range: places 1 (top) to the number of cars; lap times from the shortest to the
    // longest.
    double low = 1;
    double high = std::max(2, FSnapshot.carCount());
    if (!places) {
        low = 1e12;
        high = 0;
        for (const TResultsRow &row : FSnapshot.rows) {
            for (const qint32 lap : row.laps) {
                low = std::min(low, double(lap));
                high = std::max(high, double(lap));
            }
        }
        if (high <= low)
            high = low + 1000;
    }
    const auto x = [&](int lap) {
        return plot.left() +
               (laps == 1 ? plot.width() / 2.0 : double(lap - 1) * plot.width() / double(laps - 1));
    };
    const auto y = [&](double value) {
        const double share = (value - low) / (high - low);
        return places ? plot.top() + share * plot.height() : plot.bottom() - share * plot.height();
    };
    painter.setPen(QColor(0xcc, 0xcc, 0xcc));
    painter.drawRect(plot);
    painter.setPen(Qt::black);
    for (int lap = 1; lap <= laps; lap += std::max(1, laps / 10))
        painter.drawText(QPointF(x(lap) - 6, plot.bottom() + 16), QString::number(lap));
    if (places) {
        for (int place = 1; place <= int(high); ++place)
            painter.drawText(QPointF(plot.left() - 28, y(place) + 5),
                             QString::number(place) + u'.');
    } else {
        painter.drawText(QPointF(area.left() + 4, plot.top() + 5), FormatTime(qint32(high), 1, 5));
        painter.drawText(QPointF(area.left() + 4, plot.bottom() + 5),
                         FormatTime(qint32(low), 1, 5));
    }
    for (int i = 0; i < FSnapshot.carCount(); ++i) {
        const QList<qint32> &lapTimes = FSnapshot.rows[i].laps;
        QPainterPath path;
        for (int k = 0; k < lapTimes.size(); ++k) {
            const double value = places ? double(FPlaces.value(i).value(k)) : double(lapTimes[k]);
            const QPointF point(x(k + 1), y(value));
            if (k == 0)
                path.moveTo(point);
            else
                path.lineTo(point);
        }
        painter.setPen(QPen(ChartColour(i), 2));
        painter.drawPath(path);
    }
}
