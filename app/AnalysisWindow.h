#pragma once

#include "ResultsSnapshot.h"

#include <QWidget>

// The race analysis in the program (Ctrl+Shift+A): the lap chart (each car's place after each
// lap) above the lap times of each car, drawn from the same results the exports write, with a
// legend. It follows the race while it is open; Escape closes it.
class TAnalysisWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TAnalysisWindow(QWidget *parent = nullptr);

    // Shows the cars of the snapshot; rows of starters without a car are left out.
    void Show(const TResultsSnapshot &snapshot);
    const TResultsSnapshot &Snapshot() const { return FSnapshot; }
    // The places plotted for each row of the snapshot, one per lap (what the lap chart draws).
    const QList<QList<int>> &Places() const { return FPlaces; }

    // One entry of the legend: where its text goes and the text, shortened to fit its place.
    struct TLegendEntry
    {
        QRect swatch;
        QRect textRect;
        QString text;
    };
    QList<TLegendEntry> Legend() const;

    // Opens the window centred on centre, as large as it was but no larger than available.
    void OpenOn(QPoint centre, const QRect &available);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintChart(QPainter &painter, const QRect &area, bool places) const;
    int LegendHeight() const;

    TResultsSnapshot FSnapshot;
    QList<QList<int>> FPlaces;
};
