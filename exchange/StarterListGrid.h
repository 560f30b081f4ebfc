#pragma once

#include "StarterListCollector.h"

class TSortGrid;

// Writes a starter list into the standings grid: the row count becomes the number of starters
// plus the title row, row 1 is scrolled to the top and column 2 to the left, and sheet columns
// A to J go into grid columns 2 to 11, row by row. Columns 0 ("Pos") and 1 ("Key") and the car
// count are left alone.
void WriteStarterList(TSortGrid &grid, const StarterList &rows);
