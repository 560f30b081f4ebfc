#include "StandingsTable.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr int kMaxKeyDigits = 3; // a "Key" text is "F" and at most three digits

// Positions compare without regard to the case of ASCII letters ("DNF" and "dnf" alike).
QString folded(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c.unicode() >= u'A' && c.unicode() <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return out;
}

} // namespace

TStandingsTable::TStandingsTable()
{
    for (int i = 0; i <= kMaxCars; ++i) {
        FCarRow[i] = i;
        FRowCar[i] = i;
    }
}

void TStandingsTable::RebuildMaps(int carCount)
{
    // Every row is read, not only rows 1 to n: a starter list can give more rows than cars,
    // and a reversed order can then move a car's row below row n.
    for (int i = 1; i <= kMaxCars; ++i) {
        FRowCar[i] = 0;
        FCarRow[i] = 0;
    }
    for (int row = 1; row < FRowCount; ++row) {
        const int car = CarOfKey(Cell(colKey, row), carCount);
        if (car == 0)
            continue;
        FCarRow[car] = row;
        if (row <= kMaxCars)
            FRowCar[row] = car;
    }
}

int TStandingsTable::RowOfCar(int car) const
{
    if (car < 1 || car > kMaxCars)
        return 0;
    const int row = FCarRow[car];
    return row >= 1 && row < FRowCount ? row : 0;
}

TStandingsTable::TRow &TStandingsTable::ensure(int row)
{
    while (FRows.size() <= row) {
        FRows.append(TRow());
        FOrigins.append(0);
    }
    return FRows[row];
}

QString TStandingsTable::Cell(int col, int row) const
{
    if (row < 0 || row >= FRows.size() || col < 0 || col >= kColumns)
        return QString();
    return FRows[row][size_t(col)];
}

void TStandingsTable::SetCell(int col, int row, const QString &text)
{
    if (row < 0 || col < 0 || col >= kColumns)
        return;
    if (row >= FRows.size() && text.isEmpty())
        return;
    QString &cell = ensure(row)[size_t(col)];
    if (cell == text)
        return;
    cell = text;
    ++FVersion;
}

void TStandingsTable::SetRowCount(int rows)
{
    rows = qMax(1, rows);
    if (rows == FRowCount)
        return;
    FRowCount = rows;
    ++FVersion;
}

int TStandingsTable::ComparePositions(const QString &s1, const QString &s2)
{
    const qsizetype l1 = s1.size();
    const qsizetype l2 = s2.size();
    if (l1 == 0)
        return l2 == 0 ? 0 : 1;
    if (l2 == 0)
        return -1;
    if (l1 != l2)
        return l1 < l2 ? -1 : 1;
    for (qsizetype i = 0; i < l1; ++i) {
        if (s1[i] != s2[i])
            return int(s1[i].unicode()) - int(s2[i].unicode());
    }
    return 0;
}

void TStandingsTable::SortByPosition()
{
    FSorted = true;
    ++FSortCount;
    const int last = FRowCount - 1;
    if (last < 2)
        return;
    ensure(last);
    QList<QString> keys(last + 1);
    for (int r = 1; r <= last; ++r)
        keys[r] = folded(FRows[r][colPos]);
    QList<int> order(last);
    std::iota(order.begin(), order.end(), 1);
    // Equal positions keep their rows' order whichever way the positions run.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = ComparePositions(keys[a], keys[b]);
        return Descending ? c > 0 : c < 0;
    });
    bool moved = false;
    for (int i = 0; i < order.size(); ++i)
        moved = moved || order[i] != i + 1;
    if (!moved)
        return;
    const QList<TRow> rows = FRows;
    const QList<int> origins = FOrigins;
    for (int i = 0; i < order.size(); ++i) {
        FRows[i + 1] = rows[order[i]];
        FOrigins[i + 1] = origins[order[i]];
    }
    ++FVersion;
}

int TStandingsTable::CarOfKey(const QString &key, int carCount)
{
    bool ok = false;
    const int car = QStringView(key).mid(1, kMaxKeyDigits).toInt(&ok);
    return ok && car >= 1 && car <= carCount ? car : 0;
}

int TStandingsTable::Origin(int row) const
{
    return row >= 0 && row < FOrigins.size() ? FOrigins[row] : 0;
}

int TStandingsTable::RowOfOrigin(int origin) const
{
    if (origin <= 0)
        return 0;
    const qsizetype row = FOrigins.indexOf(origin);
    return row > 0 ? int(row) : 0;
}

void TStandingsTable::NumberOrigins()
{
    ensure(qMax(FRowCount, kMaxCars));
    for (int row = 0; row < FOrigins.size(); ++row)
        FOrigins[row] = row;
}
