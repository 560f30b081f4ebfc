#pragma once

#include "TMyCustomDrawGrid.h"

// The draw grid as a finished control: cells painted only through OnDrawCell.
class TMyDrawGrid : public TMyCustomDrawGrid
{
    Q_OBJECT

public:
    using TMyCustomDrawGrid::TMyCustomDrawGrid;
};
