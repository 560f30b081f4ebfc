#pragma once

#include "DlgYesNo.h"
#include "FormMain.h"
#include "LbButton.h"
#include "ManualTickCounter.h"
#include "TSortGrid.h"
#include "TempFolder.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <memory>

// The real main window, shown headless on a clock set by hand, with its settings in a fresh
// folder and a yes/no dialog that takes prepared answers.
class TWindowUnderTest
{
public:
    static constexpr quint32 kStartTick = 1000000;

    explicit TWindowUnderTest(quint32 now = kStartTick) : ticks(now) { Open(); }
    ~TWindowUnderTest() { Close(); }

    // Builds the window again from the stored settings (after Close).
    void Open()
    {
        window = std::make_unique<TFormMain>(ticks, SettingsPath(), FJournalPath);
        dialog = new TFDlgYesNo(window.get());
        window->SetDlgYesNo(dialog);
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    // Destroys the window, which saves its settings.
    void Close()
    {
        if (window)
            window->TimerALL->stop();
        window.reset();
        dialog = nullptr;
    }

    QString SettingsPath() const { return folder.filePath(QStringLiteral("Talvenbahn.ini")); }
    QString JournalPath() const { return folder.filePath(QStringLiteral("journal.sqlite")); }
    // Builds the window again with a race journal (by default in the test's folder).
    void UseJournal(const QString &path = QString())
    {
        Close();
        FJournalPath = path.isEmpty() ? JournalPath() : path;
        Open();
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window.get(), Qt::Key(key), modifiers);
        WaitForStarterList();
    }
    // A starter list is read on a thread of its own: waits until it is in the standings.
    void WaitForStarterList() { QTRY_VERIFY_WITH_TIMEOUT(!window->StarterListReading(), 20000); }
    // Presses the lap key of car at the clock's present reading.
    void Lap(int car) { Key(Qt::Key_F1 + car - 1); }
    // Moves the clock on and lets both timers run once, as they would in that time.
    void Advance(quint32 ms)
    {
        ticks.Advance(ms);
        window->Timer1Timer();
        if (window->TimerALL->isActive())
            window->TimerALLTimer();
    }
    void ClickStart() { QTest::mouseClick(window->bSTART2, Qt::LeftButton); }
    void Answer(TFDlgYesNo::TDlgAnswer answer) { dialog->PrepareAnswer(answer); }

    QString Cell(int col, int row) const { return window->SortGrid1->Cells(col, row); }
    int RowOfKey(const QString &key) const
    {
        for (int r = 1; r < window->SortGrid1->RowCount(); ++r) {
            if (Cell(TRaceTiming::colKey, r) == key)
                return r;
        }
        return -1;
    }

    TempFolder folder;
    TManualTickCounter ticks;
    std::unique_ptr<TFormMain> window;
    TFDlgYesNo *dialog = nullptr;

private:
    QString FJournalPath;
};
