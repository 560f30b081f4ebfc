#pragma once

#include "ResultsSnapshot.h"

#include <QWidget>

// The race analysis in the program (Ctrl+Shift+A): the lap chart (each car's place after each
// lap) above the lap times of each car, drawn from the same results the exports write, with a
// legend. It follows the race while it is open.
class TAnalysisWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TAnalysisWindow(QWidget *parent = nullptr);

    void Show(const TResultsSnapshot &snapshot);
    const TResultsSnapshot &Snapshot() const { return FSnapshot; }
    // The places plotted for each row of the snapshot, one per lap (what the lap chart draws).
    const QList<QList<int>> &Places() const { return FPlaces; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintChart(QPainter &painter, const QRect &area, bool places) const;

    TResultsSnapshot FSnapshot;
    QList<QList<int>> FPlaces;
};
