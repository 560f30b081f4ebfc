#pragma once

#include "TickCounter.h"

#include <QObject>
#include <QPair>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QKeySequence;
class QTableView;
class QWidget;
class TCorrectionDesk;
class TRaceSession;
struct TRaceEvent;

// The commands of a correction desk on one race: delete, insert, split, move, edit and confirm a
// crossing of the pass log, the race control's verdicts on a car, undo and redo. They turn the
// operator's choice into a correction event and hand it to Correct, which records it; the
// window that owns the race (the main window, or the window of a heat that has ended) says how.
class TCorrectionCommands : public QObject
{
    Q_OBJECT
public:
    // A question for a car and a race time.
    struct TCrossingQuestion
    {
        QString title;
        int car = 0;
        quint32 raceMs = 0;
        bool carEditable = false;
        bool timeEditable = false;
    };
    using TCrossingAnswer = std::optional<QPair<int, quint32>>;
    enum class TVerdict { NotStarted, Retired, Disqualified, Penalty, LapsOff, Clear };

    // The actions made by AddActions, named as the main window's were always named.
    struct TActions
    {
        QAction *undo = nullptr;
        QAction *redo = nullptr;
        QAction *remove = nullptr;
        QAction *insert = nullptr;
        QAction *split = nullptr;
        QAction *move = nullptr;
        QAction *edit = nullptr;
        QAction *confirm = nullptr;
    };

    TCorrectionCommands(const TRaceSession &session, TCorrectionDesk *desk,
                        const TTickCounter &ticks, QObject *parent);

    // Records one correction; false when there is no race to correct or it changes nothing.
    std::function<bool(const TRaceEvent &correction)> Correct;
    // Whether the race takes corrections now.
    std::function<bool()> CanCorrect;
    // The car of the standings' current row (the verdicts act on it).
    std::function<int()> CurrentCar;
    // Hands what waits for the journal over first (the presses of the running race); may be
    // empty.
    std::function<void()> Flush;
    // A line in the window's status bar.
    std::function<void(const QString &text)> Status;
    // Asks for a car and a race time; nothing when cancelled.
    std::function<TCrossingAnswer(const TCrossingQuestion &)> AskCrossing;
    // Asks for a whole number; nothing when cancelled.
    std::function<std::optional<int>(const QString &question, int proposed, int min, int max)>
        AskNumber;
    // Asks a yes/no question (splitting a lap of the usual length).
    std::function<bool(const QString &question)> AskYesNo;

    // The dialogs the hooks above use unless a test answers them.
    static TCrossingAnswer AskCrossingByDialog(const TRaceSession &session, QWidget *parent,
                                               const TCrossingQuestion &question);
    static std::optional<int> AskNumberByDialog(QWidget *parent, const QString &question,
                                                int proposed, int min, int max);

    // Makes the commands' actions with their keys: undo and redo on window, the commands on a
    // crossing on the pass log only, the verdicts on the standings only (their context menu).
    TActions AddActions(QWidget *window, QTableView *log, QWidget *standings);

    // "F8  Nr. 7  Anna Berg": the key, start number and driver of a car.
    QString CarName(int car) const;

    void Undo();
    void Redo();
    // Names the undo and redo commands after what they would take back or make again now.
    void NameUndoRedo(QAction *undo, QAction *redo) const;
    void Delete();
    void Insert();
    void Split();
    void Move();
    void Edit();
    void Confirm();
    // Confirms a held, locked or late press; false when the crossing is none of these.
    bool ConfirmPress(int crossing);
    // The verdict on the car of the standings' current row.
    void Judge(TVerdict verdict);

private:
    QAction *Add(QWidget *owner, const QString &name, const QString &caption,
                 const QList<QKeySequence> &keys, std::function<void()> handler,
                 Qt::ShortcutContext context);
    bool Can() const { return !CanCorrect || CanCorrect(); }
    // Ctrl+Z (redo false) or Ctrl+Y: the last correction taken back or made again.
    void step(bool redo);
    void Say(const QString &text) const;
    quint32 Tick() const { return FTicks.GetTickCount(); }

    const TRaceSession &FSession;
    TCorrectionDesk *FDesk;
    const TTickCounter &FTicks;
};
