#include "PassLogModel.h"

#include <algorithm>

#include <QBrush>
#include <QFont>

namespace {

using State = TRaceCorrections::State;

const QColor kHeldColour(0xFF, 0xE0, 0x80);
const QColor kMissedColour(0xFF, 0xC8, 0xC8);
const QColor kDeletedText(0x80, 0x80, 0x80);

} // namespace

TPassLogModel::TPassLogModel(const TRaceCorrections &corrections, QObject *parent)
    : QAbstractTableModel(parent), FCorrections(corrections)
{}

void TPassLogModel::Reload()
{
    const QList<TRaceCorrections::TCrossing> all = FCorrections.Crossings();
    QList<int> ids;
    ids.reserve(all.size());
    for (auto c = all.crbegin(); c != all.crend(); ++c)
        ids.append(c->id);
    // Most corrections keep every row where it is, an insertion adds one: then the view keeps
    // its place and its selection, and only the rows are drawn again, not the whole view.
    const auto differ = std::mismatch(FIds.cbegin(), FIds.cend(), ids.cbegin(), ids.cend());
    const int first = int(differ.first - FIds.cbegin());
    if (ids.size() == FIds.size() + 1 &&
        std::equal(differ.first, FIds.cend(), ids.cbegin() + first + 1)) {
        beginInsertRows(QModelIndex(), first, first);
        FIds = std::move(ids);
        endInsertRows();
    } else if (ids.size() == FIds.size() && differ.first == FIds.cend()) {
        if (FIds.isEmpty())
            return;
    } else {
        beginResetModel();
        FIds = std::move(ids);
        endResetModel();
        return;
    }
    emit dataChanged(index(0, 0), index(int(FIds.size()) - 1, kColumns - 1));
}

void TPassLogModel::AddCrossing(int id)
{
    const TRaceCorrections::TCrossing *added = FCorrections.Crossing(id);
    const TRaceCorrections::TCrossing *top =
        FIds.isEmpty() ? nullptr : FCorrections.Crossing(FIds[0]);
    if (!added || FIds.contains(id) || (top && top->raceMs > added->raceMs)) {
        Reload();
        return;
    }
    beginInsertRows(QModelIndex(), 0, 0);
    FIds.prepend(id);
    endInsertRows();
    // The car's other laps may have changed their marks (its usual lap moved).
    if (FIds.size() > 1)
        emit dataChanged(index(1, 0), index(int(FIds.size()) - 1, kColumns - 1));
}

int TPassLogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(FIds.size());
}

int TPassLogModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QString TPassLogModel::NoteText(const TRaceCorrections::TCrossing &c, bool afterFinish)
{
    return TRaceCorrections::NoteText(c, afterFinish);
}

QVariant TPassLogModel::data(const QModelIndex &index, int role) const
{
    const TRaceCorrections::TCrossing *c = FCorrections.Crossing(IdAt(index.row()));
    if (!c)
        return QVariant();
    if (role == kIdRole)
        return c->id;
    if (role == Qt::TextAlignmentRole)
        return index.column() == colDriver || index.column() == colNote
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::BackgroundRole) {
        if (c->state == State::Held)
            return QBrush(kHeldColour);
        if (c->state == State::Counted && (c->likelyMissed || c->likelyDouble))
            return QBrush(kMissedColour);
        return QVariant();
    }
    if (role == Qt::ForegroundRole && c->state == State::Deleted)
        return QBrush(kDeletedText);
    if (role == Qt::FontRole && c->state == State::Deleted) {
        QFont font;
        font.setStrikeOut(true);
        return font;
    }
    // A name or a note cut by its column is read whole from its tooltip.
    if (role == Qt::ToolTipRole && (index.column() == colDriver || index.column() == colNote))
        return data(index, Qt::DisplayRole);
    if (role != Qt::DisplayRole)
        return QVariant();
    const bool afterFinish =
        c->state == State::Counted && AfterFinish && AfterFinish(c->car, c->raceMs);
    // A crossing that does not count for its car's result shows no lap.
    const bool counts = c->lap > 0 && !c->excluded && !afterFinish;
    switch (index.column()) {
    case colWall:
        return TRaceCorrections::WallTimeText(c->wallMs);
    case colRace:
        return TRaceCorrections::RaceTimeText(c->raceMs);
    case colKey:
        return QStringLiteral("F%1").arg(c->car);
    case colNr:
        return StarterOf ? StarterOf(c->car).first : QString();
    case colDriver:
        return StarterOf ? StarterOf(c->car).second : QString();
    case colLap:
        return counts ? QString::number(c->lap) : QString();
    case colLapTime:
        return counts ? TRaceCorrections::RaceTimeText(quint32(c->lapMs)) : QString();
    case colNote:
        return NoteText(*c, afterFinish);
    default:
        return QVariant();
    }
}

QVariant TPassLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    static const char *const kTitles[kColumns] = {"Uhrzeit", "Rennzeit", "Taste",      "Nr.",
                                                  "Fahrer",  "Runde",    "Rundenzeit", "Hinweis"};
    return section >= 0 && section < kColumns ? QString::fromUtf8(kTitles[section]) : QVariant();
}
