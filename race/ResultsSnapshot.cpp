#include "ResultsSnapshot.h"

#include <QLocale>

#include <algorithm>

namespace {

constexpr int kSignificantDigits = 15;

} // namespace

bool TResultsSnapshot::showsOwnLaps() const
{
    return flagFallen || std::any_of(rows.begin(), rows.end(),
                                     [](const TResultsRow &row) { return row.hasVerdict(); });
}

qint32 TResultsRow::lapTime(int lap) const
{
    return lap >= 1 && lap <= count() ? laps.at(lap - 1) : 0;
}

qint32 TResultsRow::total(int lap) const
{
    return lap >= 1 && lap <= int(cross.size()) ? cross.at(lap - 1) : 0;
}

QString DistanceText(const TResultsSnapshot &snapshot)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(snapshot.lapLength * snapshot.raceLaps, 'g', kSignificantDigits);
}

QString DateText(const TResultsSnapshot &snapshot)
{
    return QLocale().toString(snapshot.date, QLocale::ShortFormat);
}

QString TResultsRow::placeText(int position) const
{
    QString text = status.isEmpty() ? QString::number(position) + u'.' : status;
    if (penaltyMs > 0)
        text += QStringLiteral(" (+%1 s)").arg(QLocale().toString(penaltyMs / 1000.0));
    if (lapsOff > 0)
        text += QStringLiteral(" (-%1 R.)").arg(lapsOff);
    return text;
}
