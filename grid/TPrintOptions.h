#pragma once

#include <QString>

enum TMyPrintRange { prAll, prSelected };

// Print settings the grid carries for its user; nothing in the program prints.
struct TPrintOptions
{
    QString JobTitle;
    QString PageTitle;
    unsigned Copies = 1;
    TMyPrintRange PrintRange = prAll;
    int FromRow = 0;
    int ToRow = 0;
    unsigned PreviewPage = 0;
};
