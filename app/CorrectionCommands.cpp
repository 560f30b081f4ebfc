#include "CorrectionCommands.h"

#include "CommandAction.h"
#include "CorrectionDesk.h"
#include "CorrectionEvents.h"
#include "CrossingDialog.h"
#include "RaceSession.h"
#include "RaceTables.h"

#include <QAction>
#include <QDateTime>
#include <QInputDialog>
#include <QTableView>

namespace {

const QString kSplitUsualLapQuestion =
    QStringLiteral("Diese Runde ist nicht zu lang – trotzdem teilen?");

qint64 wallNow()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

TCorrectionCommands::TCorrectionCommands(const TRaceSession &session, TCorrectionDesk *desk,
                                         const TTickCounter &ticks, QObject *parent)
    : QObject(parent), FSession(session), FDesk(desk), FTicks(ticks)
{}

TCorrectionCommands::TCrossingAnswer
TCorrectionCommands::AskCrossingByDialog(const TRaceSession &session, QWidget *parent,
                                         const TCrossingQuestion &q)
{
    TCrossingDialog dialog(q.title, session.CarTexts(), q.car, q.raceMs, q.carEditable,
                           q.timeEditable, parent);
    QStringList numbers;
    for (int car = 1; car <= session.Timing().CarCount(); ++car)
        numbers << session.StarterOfCar(car).first;
    dialog.SetStartNumbers(numbers);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const TCrossingDialog::TAnswer answer = dialog.Answer();
    return QPair<int, quint32>(answer.car, answer.raceMs);
}

std::optional<int> TCorrectionCommands::AskNumberByDialog(QWidget *parent, const QString &question,
                                                          int proposed, int min, int max)
{
    bool ok = false;
    const int value = QInputDialog::getInt(parent, parent->window()->windowTitle(), question,
                                           proposed, min, max, 1, &ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QAction *TCorrectionCommands::Add(QWidget *owner, const QString &name, const QString &caption,
                                  const QList<QKeySequence> &keys, std::function<void()> handler,
                                  Qt::ShortcutContext context)
{
    return AddCommandAction(owner, this, name, caption, keys, std::move(handler), context);
}

TCorrectionCommands::TActions TCorrectionCommands::AddActions(QWidget *window, QTableView *log,
                                                              QWidget *standings)
{
    TActions a;
    a.undo = Add(
        window, QStringLiteral("Undo1"), QStringLiteral("Rückgängig"),
        {QKeySequence(Qt::CTRL | Qt::Key_Z)}, [this] { Undo(); }, Qt::WindowShortcut);
    a.redo = Add(
        window, QStringLiteral("Redo1"), QStringLiteral("Wiederherstellen"),
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        [this] { Redo(); }, Qt::WindowShortcut);
    // The commands on a crossing act in the pass log only: a key pressed in the standings or a
    // field never deletes a crossing.
    a.remove = Add(
        log, QStringLiteral("DeleteCrossing1"), QStringLiteral("Durchfahrt löschen"),
        {QKeySequence(Qt::Key_Delete)}, [this] { Delete(); }, Qt::WidgetShortcut);
    a.insert = Add(
        log, QStringLiteral("InsertCrossing1"), QStringLiteral("Vergessene Durchfahrt einfügen…"),
        {QKeySequence(Qt::Key_Insert)}, [this] { Insert(); }, Qt::WidgetShortcut);
    a.split = Add(
        log, QStringLiteral("SplitLap1"), QStringLiteral("Runde teilen"),
        {QKeySequence(Qt::CTRL | Qt::Key_Insert)}, [this] { Split(); }, Qt::WidgetShortcut);
    a.move = Add(
        log, QStringLiteral("MoveCrossing1"), QStringLiteral("Anderem Auto zuordnen…"),
        {QKeySequence(Qt::CTRL | Qt::Key_M)}, [this] { Move(); }, Qt::WidgetShortcut);
    a.edit = Add(
        log, QStringLiteral("EditCrossing1"), QStringLiteral("Rennzeit ändern…"),
        {QKeySequence(Qt::CTRL | Qt::Key_E)}, [this] { Edit(); }, Qt::WidgetShortcut);
    a.confirm = Add(
        log, QStringLiteral("ConfirmCrossing1"), QStringLiteral("Gehaltene Durchfahrt bestätigen"),
        {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}, [this] { Confirm(); },
        Qt::WidgetShortcut);
    const struct
    {
        const char *name;
        const char *caption;
        Qt::Key key;
        TVerdict verdict;
    } verdicts[] = {
        {"NotStarted1", "Nicht gestartet (DNS)", Qt::Key_D, TVerdict::NotStarted},
        {"Retired1", "Ausgefallen (DNF)…", Qt::Key_F, TVerdict::Retired},
        {"Disqualified1", "Disqualifiziert (DSQ)", Qt::Key_Q, TVerdict::Disqualified},
        {"Penalty1", "Zeitstrafe…", Qt::Key_T, TVerdict::Penalty},
        {"LapsOff1", "Runden abziehen…", Qt::Key_R, TVerdict::LapsOff},
        {"ClearVerdict1", "Ohne Strafe werten", Qt::Key_W, TVerdict::Clear},
    };
    for (const auto &v : verdicts)
        Add(
            standings, QString::fromLatin1(v.name), QString::fromUtf8(v.caption),
            {QKeySequence(Qt::CTRL | Qt::SHIFT | v.key)}, [this, v = v.verdict] { Judge(v); },
            Qt::WidgetShortcut);
    auto *separator = new QAction(log);
    separator->setSeparator(true);
    log->addAction(separator);
    log->addAction(a.undo);
    log->addAction(a.redo);
    return a;
}

void TCorrectionCommands::Say(const QString &text) const
{
    if (Status)
        Status(text);
}

QString TCorrectionCommands::CarName(int car) const
{
    const auto [number, driver] = FSession.StarterOfCar(car);
    QStringList parts{QStringLiteral("F%1").arg(car)};
    if (!number.isEmpty())
        parts << QStringLiteral("Nr. ") + number;
    if (!driver.isEmpty())
        parts << driver;
    return parts.join(QStringLiteral("  "));
}

void TCorrectionCommands::Undo()
{
    step(false);
}

void TCorrectionCommands::Redo()
{
    step(true);
}

void TCorrectionCommands::NameUndoRedo(QAction *undo, QAction *redo) const
{
    const TRaceCorrections &corrections = FSession.Corrections();
    undo->setText(corrections.UndoText().isEmpty() ? QStringLiteral("Rückgängig")
                                                   : corrections.UndoText());
    redo->setText(corrections.RedoText().isEmpty() ? QStringLiteral("Wiederherstellen")
                                                   : corrections.RedoText());
}

void TCorrectionCommands::step(bool redo)
{
    if (!Can())
        return;
    // The presses not yet handed on first: the target is worked out from every event.
    if (Flush)
        Flush();
    const TRaceCorrections &corrections = FSession.Corrections();
    const int target = redo ? corrections.RedoTarget() : corrections.UndoTarget();
    if (target == 0) {
        Say(redo ? QStringLiteral("Nichts zum Wiederherstellen.")
                 : QStringLiteral("Nichts zum Zurücknehmen."));
        return;
    }
    Correct(redo ? CorrectionEvents::Redo(target, Tick(), wallNow())
                 : CorrectionEvents::Undo(target, Tick(), wallNow()));
}

void TCorrectionCommands::Delete()
{
    const TRaceCorrections::TCrossing *c =
        FSession.Corrections().Crossing(FDesk->SelectedCrossing());
    if (!c || c->state == TRaceCorrections::State::Deleted)
        return;
    const int id = c->id;
    Correct(CorrectionEvents::Delete(id, c->car, Tick(), wallNow()));
    FDesk->SelectCrossing(id);
}

void TCorrectionCommands::Insert()
{
    if (!Can())
        return;
    const TRaceCorrections::TCrossing *c =
        FSession.Corrections().Crossing(FDesk->SelectedCrossing());
    // "Now" during the race; after it, the moment of the selected crossing.
    const quint32 now = FSession.Running() ? Tick() - FSession.StartTick() : (c ? c->raceMs : 0);
    const TCrossingAnswer answer = AskCrossing(
        {QStringLiteral("Vergessene Durchfahrt einfügen"), c ? c->car : 1, now, true, true});
    if (!answer || answer->first < 1 || answer->first > FSession.Timing().CarCount())
        return;
    TRaceEvent insert = CorrectionEvents::Insert(answer->first, answer->second, Tick(), wallNow());
    // Kept at "now", the time is only when the operator noticed the car.
    if (FSession.Running() && answer->second == now)
        MarkLate(insert);
    if (Correct(insert))
        FDesk->SelectCrossing(FSession.Events().last().seq);
}

void TCorrectionCommands::Split()
{
    const TRaceCorrections::TCrossing *c =
        FSession.Corrections().Crossing(FDesk->SelectedCrossing());
    if (!c || FSession.Corrections().SplitMs(c->id) == 0 || !Can())
        return;
    const int id = c->id;
    // Splitting a lap of the usual length makes two impossible ones: the car's running lap,
    // not this one, is then the likelier miss. Presses go on while the question is open.
    if (!c->likelyMissed && !AskYesNo(kSplitUsualLapQuestion))
        return;
    c = FSession.Corrections().Crossing(id);
    const quint32 middle = FSession.Corrections().SplitMs(id);
    if (!c || middle == 0)
        return;
    if (Correct(CorrectionEvents::Insert(c->car, middle, Tick(), wallNow())))
        FDesk->SelectCrossing(FSession.Events().last().seq);
}

void TCorrectionCommands::Move()
{
    const TRaceCorrections::TCrossing *c =
        FSession.Corrections().Crossing(FDesk->SelectedCrossing());
    if (!c || c->state == TRaceCorrections::State::Deleted || !Can())
        return;
    const int id = c->id;
    const TCrossingAnswer answer = AskCrossing(
        {QStringLiteral("Durchfahrt einem anderen Auto zuordnen"), c->car, c->raceMs, true, false});
    if (!answer || answer->first < 1 || answer->first > FSession.Timing().CarCount())
        return;
    if (const TRaceCorrections::TCrossing *now = FSession.Corrections().Crossing(id);
        now && now->car == answer->first) {
        Say(QStringLiteral("Nichts verschoben: die Durchfahrt gehört schon zu %1.")
                .arg(CarName(answer->first)));
        return;
    }
    Correct(CorrectionEvents::Move(id, answer->first, Tick(), wallNow()));
    FDesk->SelectCrossing(id);
}

void TCorrectionCommands::Edit()
{
    const TRaceCorrections::TCrossing *c =
        FSession.Corrections().Crossing(FDesk->SelectedCrossing());
    if (!c || c->state == TRaceCorrections::State::Deleted || !Can())
        return;
    const int id = c->id;
    const int car = c->car;
    const TCrossingAnswer answer = AskCrossing(
        {QStringLiteral("Rennzeit der Durchfahrt ändern"), c->car, c->raceMs, false, true});
    if (!answer)
        return;
    Correct(CorrectionEvents::Edit(id, car, answer->second, Tick(), wallNow()));
    FDesk->SelectCrossing(id);
}

void TCorrectionCommands::Confirm()
{
    const int id = FDesk->SelectedCrossing();
    if (ConfirmPress(id))
        FDesk->SelectCrossing(id);
}

bool TCorrectionCommands::ConfirmPress(int crossing)
{
    const TRaceCorrections::TCrossing *c = FSession.Corrections().Crossing(crossing);
    if (!c ||
        (c->state != TRaceCorrections::State::Held && c->state != TRaceCorrections::State::Locked &&
         !c->late) ||
        c->state == TRaceCorrections::State::Deleted)
        return false;
    Correct(CorrectionEvents::Confirm(c->id, c->car, Tick(), wallNow()));
    return true;
}

void TCorrectionCommands::Judge(TVerdict command)
{
    const int car = CurrentCar ? CurrentCar() : 0;
    if (!Can() || car < 1 || car > FSession.Timing().CarCount())
        return;
    if (Flush)
        Flush();
    TCarVerdict verdict = FSession.Corrections().Verdict(car);
    const QString who = CarName(car);
    switch (command) {
    case TVerdict::NotStarted:
        verdict.status = TCarVerdict::Status::NotStarted;
        break;
    case TVerdict::Retired: {
        const std::optional<int> laps =
            AskNumber(QStringLiteral("%1 ausgefallen nach Runde:").arg(who),
                      FSession.Timing().LapTable[car].Count, 0, kMaxLaps);
        if (!laps)
            return;
        verdict.status = TCarVerdict::Status::Retired;
        verdict.fromLap = *laps;
        break;
    }
    case TVerdict::Disqualified:
        verdict.status = TCarVerdict::Status::Disqualified;
        break;
    case TVerdict::Penalty: {
        const std::optional<int> seconds =
            AskNumber(QStringLiteral("Zeitstrafe für %1 in Sekunden (insgesamt):").arg(who),
                      verdict.penaltyMs / 1000, 0, 24 * 3600);
        if (!seconds)
            return;
        verdict.penaltyMs = *seconds * 1000;
        break;
    }
    case TVerdict::LapsOff: {
        const std::optional<int> laps =
            AskNumber(QStringLiteral("Abgezogene Runden für %1 (insgesamt):").arg(who),
                      verdict.lapsOff, 0, kMaxLaps);
        if (!laps)
            return;
        verdict.lapsOff = *laps;
        break;
    }
    case TVerdict::Clear:
        verdict = TCarVerdict();
        break;
    }
    if (Correct(CorrectionEvents::Verdict(car, verdict, Tick(), wallNow())))
        Say(QStringLiteral("%1: %2").arg(who, verdict.Describe()));
}
