// A club's race day through the main window: a heat put on the keys, its START linked to it, and
// which heat runs and which comes next in the status bar, on the live page and on the board. The
// plan and the results are the race-day window's; the heat itself is timed as any race.
#include "FormMain.h"

#include "ElidedLabel.h"
#include "LbButton.h"
#include "RaceDayOutcome.h"
#include "RaceDayWindow.h"
#include "SeasonWindow.h"
#include "StandingsView.h"

#include "TSortGrid.h"
#include "WindowFit.h"

#include <QAction>
#include <QLineEdit>
#include <QSpinBox>
#include <QStatusBar>

namespace {

const QString kHeatWhileRunning =
    QStringLiteral("Während ein Rennen läuft, kann kein Lauf auf die Tasten gelegt werden. Bitte "
                   "das Rennen erst stoppen.");
const QString kHeatWhileReading = QStringLiteral(
    "Es wird noch eine Starterliste gelesen. Bitte warten, bis sie fertig gelesen ist.");
// A stopped race's standings go: the question says so, and opens on "Nein".
const QString kHeatOverStopped = QStringLiteral(
    "Den Lauf \u201E%1\u201C auf die Tasten legen?\n\u201EJa\u201C leert die Rangliste: alle "
    "Zeiten, Startnummern und Fahrer werden gelöscht. Das Rennen bleibt im Rennjournal.");
const QString kHeatLine = QStringLiteral("Lauf: %1");
const QString kHeatLineNext = QStringLiteral("Lauf: %1 \u2014 danach: %2");

// The next heat as short as its label allows: "Lauf 3" after "Klasse A · Vorlauf 1 · Lauf 2".
QString shortNext(const QString &current, const QString &next)
{
    const QString separator = QStringLiteral(" · ");
    const qsizetype a = current.lastIndexOf(separator);
    const qsizetype b = next.lastIndexOf(separator);
    if (a > 0 && a == b && current.left(a) == next.left(b))
        return next.mid(b + separator.size());
    return next;
}

} // namespace

void TFormMain::BuildRaceDay()
{
    // Always shown beside the messages, cut rather than widening the window.
    HeatLine = new TElidedLabel;
    HeatLine->setObjectName(QStringLiteral("HeatLine"));
    HeatLine->setStyleSheet(QStringLiteral("font-weight: bold"));
    HeatLine->hide();
    StatusBar1->addPermanentWidget(HeatLine, 1);
    RaceDay1 = AddCommand(this, QStringLiteral("RaceDay1"), QStringLiteral("Veranstaltung"),
                          {QKeySequence(Qt::CTRL | Qt::Key_G)},
                          std::bind_front(&TFormMain::ShowRaceDay, this));
    Season1 = AddCommand(this, QStringLiteral("Season1"), QStringLiteral("Meisterschaft"),
                         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G)},
                         std::bind_front(&TFormMain::ShowSeason, this));
}

TRaceDayWindow *TFormMain::RaceDayWindow()
{
    if (!RaceDay) {
        RaceDay = new TRaceDayWindow(this);
        // "Meisterschaft" opens from there as from here.
        RaceDay->addAction(Season1);
    }
    return RaceDay;
}

void TFormMain::PlaceSideWindow(QWidget *window, bool clearOfStart)
{
    if (window->property("placed").toBool())
        return;
    window->setProperty("placed", true);
    const QRect start = clearOfStart && bSTART2->isVisible()
                            ? QRect(bSTART2->mapToGlobal(QPoint(0, 0)), bSTART2->size())
                            : QRect();
    window->setGeometry(
        PlaceClearOf(window->size(), start, AvailableArea(), window->minimumSizeHint()));
}

bool TFormMain::AskSideQuestion(QWidget *asker, const QString &question)
{
    const bool yes = AskYesNo(question, true);
    asker->raise();
    asker->activateWindow();
    return yes;
}

void TFormMain::ShowRaceDay()
{
    TRaceDayWindow *window = RaceDayWindow();
    PlaceSideWindow(window, true);
    window->show();
    window->raise();
    window->activateWindow();
}

void TFormMain::ShowSeason()
{
    if (!Season) {
        Season = new TSeasonWindow(this);
        Season->addAction(RaceDay1);
    }
    // The season table takes the screen's width; START is not pressed from there.
    PlaceSideWindow(Season, false);
    Season->Reload();
    Season->show();
    Season->raise();
    Season->activateWindow();
}

bool TFormMain::PutHeatOnKeys(const THeatOnKeys &heat)
{
    if (Running()) {
        ShowNoticeText(kHeatWhileRunning);
        return false;
    }
    if (FStarterListReading) {
        ShowNoticeText(kHeatWhileReading);
        return false;
    }
    if (RaceState() == rsStopped) {
        if (!AskYesNo(kHeatOverStopped.arg(heat.label), true))
            return false;
        mStart2Click(bSTART2); // resets the stopped race (or leaves the race looked at)
        if (RaceState() != rsReady)
            return false;
    }
    QList<QStringList> rows;
    for (const TRaceSetup::TStarter &driver : heat.drivers)
        rows.append({driver.number, driver.driver});
    eTitle->setText(heat.title);
    eTitle->setCursorPosition(0);
    Session.ShowStarterList(rows);
    if (!heat.drivers.isEmpty())
        seCarCount->setValue(int(heat.drivers.size()));
    Session.LabelKeys(seCarCount->value());
    Standings->Show();
    if (SortGrid1->RowCount() > 1)
        SortGrid1->SetTopRow(1);
    FitHeightToRows();
    // The keyboard goes to the standings: a digit typed next must not land in a setup field
    // (the lap length) that kept the focus.
    SortGrid1->setFocus();
    FHeat = heat;
    ShowHeatLine();
    PublishAudience();
    emit heatRaceChanged();
    return true;
}

void TFormMain::ShowRaceDayProgress(const QString &nextLabel, const QList<TLiveHeat> &schedule)
{
    if (FHeatNext == nextLabel && FSchedule.size() == schedule.size() &&
        std::equal(schedule.cbegin(), schedule.cend(), FSchedule.cbegin(),
                   [](const TLiveHeat &a, const TLiveHeat &b) {
                       return a.label == b.label && a.state == b.state;
                   }))
        return;
    FHeatNext = nextLabel;
    FSchedule = schedule;
    ShowHeatLine();
    PublishAudience();
}

void TFormMain::ShowHeatLine()
{
    const bool shown = FHeat.dayId != 0;
    if (shown) {
        HeatLine->setText(FHeatNext.isEmpty()
                              ? kHeatLine.arg(FHeat.label)
                              : kHeatLineNext.arg(FHeat.label, shortNext(FHeat.label, FHeatNext)));
        HeatLine->setToolTip(HeatLine->text());
    }
    HeatLine->setVisible(shown);
    // The key list gives the heat its room.
    if (auto *keys = StatusBar1->findChild<QWidget *>(QStringLiteral("StatusKeys")))
        keys->setVisible(!shown);
}

void TFormMain::DropHeat()
{
    if (FHeat.dayId == 0)
        return;
    FHeat = THeatOnKeys();
    FHeatNext.clear();
    FSchedule.clear();
    ShowHeatLine();
    PublishAudience();
}

void TFormMain::FollowHeatOfRace()
{
    const QList<TRaceEvent> &events = Session.Events();
    const auto start = std::find_if(events.cbegin(), events.cend(), [](const TRaceEvent &e) {
        return e.kind == TRaceEvent::Kind::Start;
    });
    const std::optional<std::pair<qint64, int>> link =
        start == events.cend() ? std::nullopt : HeatOfStart(*start);
    if (!link) {
        DropHeat();
        return;
    }
    if (link->first != FHeat.dayId || link->second != FHeat.heatId) {
        // A resumed or opened heat race: its label comes from its day's plan.
        THeatOnKeys heat = RaceDayWindow()->HeatOnKeysOf(link->first, link->second);
        heat.title = Session.Setup().title;
        FHeat = heat;
    }
    ShowHeatLine();
    emit heatRaceChanged();
}
