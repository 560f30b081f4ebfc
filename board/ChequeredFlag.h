#pragma once

#include <QRect>

class QPainter;

// A chequered flag drawn into rect: black and white squares on a short pole, no image file.
// The squares are whole pixels, so the pattern stays crisp at every size.
void DrawChequeredFlag(QPainter &painter, const QRect &rect);
