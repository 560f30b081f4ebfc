#pragma once

#include "TMyCustomGrid.h"

// Adds the drawing and editing events to the grid base.
class TMyCustomDrawGrid : public TMyCustomGrid
{
    Q_OBJECT

public:
    using TMyCustomGrid::TMyCustomGrid;

    // Canvas is the painter of the cell being drawn, clipped to Rect.
    std::function<void(QObject *Sender, int ACol, int ARow, const QRect &Rect, TGridDrawState State,
                       QPainter &Canvas)>
        OnDrawCell;
    std::function<void(QObject *Sender, int ACol, int ARow, QString &Value)> OnGetEditMask;
    std::function<void(QObject *Sender, int ACol, int ARow, QString &Value)> OnGetEditText;
    std::function<void(QObject *Sender, int ACol, int ARow, const QString &Value)> OnSetEditText;

protected:
    void DrawCell(QPainter &painter, int ACol, int ARow, const QRect &ARect,
                  TGridDrawState AState) override;
    QString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const QString &Value) override;
};
