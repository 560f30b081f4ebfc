#include "TMyCustomDrawGrid.h"

void TMyCustomDrawGrid::DrawCell(QPainter &painter, int ACol, int ARow, const QRect &ARect,
                                 TGridDrawState AState)
{
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState, painter);
}

QString TMyCustomDrawGrid::GetEditText(int ACol, int ARow)
{
    QString value;
    if (OnGetEditText)
        OnGetEditText(this, ACol, ARow, value);
    return value;
}

void TMyCustomDrawGrid::SetEditText(int ACol, int ARow, const QString &Value)
{
    if (OnSetEditText)
        OnSetEditText(this, ACol, ARow, Value);
}
