#include "RaceEvent.h"

#include <array>
#include <utility>

namespace {
using Kind = TRaceEvent::Kind;

// The stored names; never change one, the database holds them.
constexpr std::array<std::pair<Kind, QLatin1StringView>, 16> kKindNames{{
    {Kind::Start, QLatin1StringView("start")},
    {Kind::Press, QLatin1StringView("press")},
    {Kind::Stop, QLatin1StringView("stop")},
    {Kind::End, QLatin1StringView("end")},
    {Kind::Reset, QLatin1StringView("reset")},
    {Kind::NewRace, QLatin1StringView("newRace")},
    {Kind::Resume, QLatin1StringView("resume")},
    {Kind::DeleteCrossing, QLatin1StringView("delete")},
    {Kind::InsertCrossing, QLatin1StringView("insert")},
    {Kind::MoveCrossing, QLatin1StringView("move")},
    {Kind::EditCrossing, QLatin1StringView("edit")},
    {Kind::ConfirmCrossing, QLatin1StringView("confirm")},
    {Kind::Undo, QLatin1StringView("undo")},
    {Kind::Redo, QLatin1StringView("redo")},
    {Kind::CarVerdict, QLatin1StringView("verdict")},
    {Kind::StarterEdit, QLatin1StringView("starter")},
}};
} // namespace

QString TRaceEvent::kindName(Kind kind)
{
    for (const auto &[k, name] : kKindNames) {
        if (k == kind)
            return name;
    }
    return QStringLiteral("unknown");
}

TRaceEvent::Kind TRaceEvent::kindFromName(const QString &name)
{
    for (const auto &[k, known] : kKindNames) {
        if (name == known)
            return k;
    }
    return Kind::Unknown;
}
