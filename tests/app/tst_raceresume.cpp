#include "ArchiveModel.h"
#include "ArchiveWindow.h"
#include "RaceJournal.h"
#include "WindowUnderTest.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>

#include <csignal>

namespace {

constexpr int Zeit = TRaceTiming::colZeit;

// Every standings cell but the running times, which go on ticking.
QStringList standings(TWindowUnderTest &t)
{
    QStringList cells;
    TSortGrid *grid = t.window->SortGrid1;
    for (int r = 0; r < grid->RowCount(); ++r) {
        for (int c = 0; c < TRaceTiming::kStandingsColumns; ++c) {
            if (c != Zeit)
                cells << grid->Cells(c, r);
        }
    }
    return cells;
}

// The race tables of the first cars: laps, race times and best laps.
QList<qint32> tables(const TRaceTiming &race, int cars)
{
    QList<qint32> values;
    for (int car = 1; car <= cars; ++car) {
        const TLapRecord &record = race.LapTable[car];
        values << record.Count << record.Best;
        for (int k = 1; k <= record.Count; ++k)
            values << record.Slot[k] << race.CrossTable[car].Slot[k];
    }
    return values;
}

// Presses car's lap key while a modal window of the program is up, then closes that window.
void pressWhileModal(TWindowUnderTest &t, int car, const std::function<void()> &closeModal)
{
    QTimer::singleShot(0, [&t, car, closeModal] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        t.Advance(1500);
        QTest::keyClick(modal->focusWidget() ? modal->focusWidget() : modal,
                        Qt::Key(Qt::Key_F1 + car - 1));
        closeModal();
    });
}

} // namespace

class TestRaceResume : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void resumeRebuildsTheRaceAsItWas();
    void resumeAfterHalfTheLapsKeepsTheRaceRunning();
    void resumeAfterARestartOfTheMachine();
    void declinedResumeKeepsTheRaceAsInterrupted();
    void keysCountWhileModalWindowsAreUp();
    void pressesDuringTheResumeQuestionGoIntoTheRace();
    void brokenJournalKeepsTheRaceRunning();
    void longJournalWarningKeepsTheWindowOnTheScreen();
    void killedRaceLosesNoStoredPress();
    void killedRaceKeepsThePressesOfALateJournal_data();
    void killedRaceKeepsThePressesOfALateJournal();
    void archiveShowsEarlierRacesReadOnly();
    void terminatedRaceClosesAsANormalClose();
};

void TestRaceResume::resumeRebuildsTheRaceAsItWas()
{
    QStringList before;
    QList<qint32> tablesBefore;
    TWindowUnderTest t;
    t.UseJournal();
    t.window->seCarCount->setValue(4);
    t.window->seKrugs->setValue(6);
    t.window->TypeIntoStandings(TRaceTiming::colFahrer, 2, QStringLiteral("Mia"));
    t.ClickStart();
    const int order[] = {2, 4, 1, 2, 3, 4, 1, 2, 4, 3};
    for (const int car : order) {
        t.Advance(1337);
        t.Lap(car);
    }
    t.Advance(500);
    before = standings(t);
    tablesBefore = tables(t.window->Race, 4);
    QCOMPARE(t.window->seKrugs->value(), 3); // the leader has run 3 of 6 laps
    QVERIFY(t.window->Journal->flush(5000));
    // The program ends without a stop, as a crash or a power cut would end it.
    t.Close();
    t.Open();
    QCOMPARE(t.window->RaceState(), TFormMain::rsReady);
    t.Answer(TFDlgYesNo::daYes);
    t.window->OfferResume();
    QCOMPARE(t.dialog->AskedQuestions().size(), 1);
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    QCOMPARE(standings(t), before);
    QCOMPARE(tables(t.window->Race, 4), tablesBefore);
    QCOMPARE(t.window->seCarCount->value(), 4);
    QCOMPARE(t.window->seKrugs->value(), 3);
    // The running laps and the race clock go on where the time says they are.
    t.Advance(1000);
    const int row2 = t.RowOfKey(QStringLiteral("F2"));
    QCOMPARE(t.Cell(Zeit, row2), QStringLiteral("0:04.2"));
    t.Lap(2);
    QCOMPARE(t.window->Race.LapTable[2].Count, 4);
    QCOMPARE(t.window->Race.CrossTable[2].Slot[4], 10 * 1337 + 1500);
}

void TestRaceResume::resumeAfterHalfTheLapsKeepsTheRaceRunning()
{
    // The laps field shows the leader's remaining laps once a race runs; a leader who has run
    // more laps than remain must not end the resumed race.
    TWindowUnderTest t;
    t.UseJournal();
    t.window->seCarCount->setValue(2);
    t.window->seKrugs->setValue(10);
    t.ClickStart();
    for (int lap = 0; lap < 6; ++lap) {
        for (int car = 1; car <= 2; ++car) {
            t.Advance(1600);
            t.Lap(car);
        }
    }
    QCOMPARE(t.window->seKrugs->value(), 4);
    QVERIFY(t.window->Journal->flush(5000));
    t.Close();
    t.Open();
    t.Answer(TFDlgYesNo::daYes);
    t.window->OfferResume();
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    QCOMPARE(t.window->seKrugs->value(), 4);
    QCOMPARE(t.window->Race.RaceLaps, 10);
    t.Advance(1600);
    t.Lap(1);
    QCOMPARE(t.window->Race.LapTable[1].Count, 7);
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    QVERIFY(t.window->Journal->flush(5000));
    for (const TRaceEvent &e : t.window->Journal->events(t.window->JournalRaceId))
        QVERIFY(e.kind != TRaceEvent::Kind::End);
}

void TestRaceResume::resumeAfterARestartOfTheMachine()
{
    // The tick counter starts again after a restart: the presses keep their race times, and the
    // race time goes on from the wall-clock time of START, with a word to the operator.
    TWindowUnderTest t;
    t.UseJournal();
    t.window->seCarCount->setValue(2);
    t.ClickStart();
    t.Advance(3000);
    t.Lap(1);
    t.Advance(2000);
    t.Lap(2);
    const QList<qint32> tablesBefore = tables(t.window->Race, 2);
    t.Close();
    t.ticks.Set(5000); // five seconds after the restart
    t.Open();
    t.window->BootId = [] { return QStringLiteral("another-boot"); };
    QStringList notices;
    t.window->ShowNotice = [&notices](const QString &text) { notices << text; };
    t.Answer(TFDlgYesNo::daYes);
    t.window->OfferResume();
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    QCOMPARE(tables(t.window->Race, 2), tablesBefore);
    QCOMPARE(notices.size(), 1);
    QVERIFY(notices.first().contains(QStringLiteral("neu gestartet")));
    // Only a moment of wall-clock time has passed since START here: the race time is small,
    // so the next lap of car 1 is stamped a little after its last one would have allowed.
    const qint32 raceMsNow = qint32(t.ticks.GetTickCount() - t.window->Race.StartTick);
    QVERIFY(raceMsNow >= 0 && raceMsNow < 60000);
    t.Advance(6000);
    t.Lap(1);
    QCOMPARE(t.window->Race.LapTable[1].Count, 2);
    QCOMPARE(t.window->Race.CrossTable[1].Slot[2], raceMsNow + 6000);
}

void TestRaceResume::declinedResumeKeepsTheRaceAsInterrupted()
{
    TWindowUnderTest t;
    t.UseJournal();
    t.window->seCarCount->setValue(2);
    t.ClickStart();
    t.Advance(2000);
    t.Lap(1);
    t.Close();
    t.Open();
    t.Answer(TFDlgYesNo::daNo);
    t.window->OfferResume();
    QCOMPARE(t.window->RaceState(), TFormMain::rsReady);
    const QList<TRaceSummary> races = t.window->Journal->races();
    QCOMPARE(races.size(), 1);
    QCOMPARE(races.first().state, TRaceSummary::State::Interrupted);
    t.window->OfferResume(); // asked no more
    QCOMPARE(t.dialog->AskedQuestions().size(), 1);
}

void TestRaceResume::keysCountWhileModalWindowsAreUp()
{
    TWindowUnderTest t;
    t.window->seCarCount->setValue(3);
    t.ClickStart();
    // A question: the real dialog, not a prepared answer.
    pressWhileModal(t, 1, [&t] { t.dialog->reject(); });
    t.Key(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(t.window->Race.LapTable[1].Count, 1);
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    // A message box.
    pressWhileModal(t, 2, [] { QApplication::activeModalWidget()->close(); });
    QMessageBox::information(t.window.get(), QStringLiteral("Talvenbahn"), QStringLiteral("Hallo"));
    QCOMPARE(t.window->Race.LapTable[2].Count, 1);
    // A file dialog.
    pressWhileModal(t, 3, [] { QApplication::activeModalWidget()->close(); });
    QFileDialog dialog(t.window.get());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.exec();
    QCOMPARE(t.window->Race.LapTable[3].Count, 1);
}

void TestRaceResume::pressesDuringTheResumeQuestionGoIntoTheRace()
{
    TWindowUnderTest t;
    t.UseJournal();
    t.window->seCarCount->setValue(3);
    t.ClickStart();
    t.Advance(60000);
    t.Lap(3);
    QVERIFY(t.window->Journal->flush(5000));
    t.Close();
    t.Open();
    // Cars go on crossing while the question is read: F3 twice, 61 s apart, and F1; then "Ja".
    QTimer::singleShot(0, [&t] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        QWidget *focus = modal->focusWidget() ? modal->focusWidget() : modal;
        t.ticks.Advance(61000);
        QTest::keyClick(focus, Qt::Key_F3);
        t.ticks.Advance(61000);
        QTest::keyClick(focus, Qt::Key_F3);
        t.ticks.Advance(500);
        QTest::keyClick(focus, Qt::Key_F1);
        QTest::mouseClick(t.dialog->OKBtn, Qt::LeftButton);
    });
    t.window->OfferResume();
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    QCOMPARE(t.window->Race.LapTable[3].Count, 3);
    QCOMPARE(t.window->Race.CrossTable[3].Slot[2], 121000);
    QCOMPARE(t.window->Race.CrossTable[3].Slot[3], 182000);
    QCOMPARE(t.window->Race.LapTable[1].Count, 1);
    QCOMPARE(t.window->Race.CrossTable[1].Slot[1], 182500);
    // They are in the journal like every press: a second crash keeps them.
    QVERIFY(t.window->Journal->flush(5000));
    t.Close();
    t.Open();
    t.Answer(TFDlgYesNo::daYes);
    t.window->OfferResume();
    QCOMPARE(t.window->Race.LapTable[3].Count, 3);
    QCOMPARE(t.window->Race.LapTable[1].Count, 1);
}

void TestRaceResume::brokenJournalKeepsTheRaceRunning()
{
    // A file that is no database: moved aside with a notice, and a new journal kept.
    {
        TWindowUnderTest t;
        t.Close();
        QFile garbage(t.JournalPath());
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(8192, 'x'));
        garbage.close();
        t.UseJournal();
        QStringList notices;
        t.window->ShowNotice = [&notices](const QString &text) { notices << text; };
        t.window->OfferResume();
        QCOMPARE(notices.size(), 1);
        QVERIFY(notices.first().contains(t.JournalPath()));
        QVERIFY(t.window->Journal->isOpen());
        t.ClickStart();
        t.Advance(2000);
        t.Lap(1);
        t.window->FlushJournal();
        QVERIFY(t.window->Journal->flush(5000));
        QCOMPARE(t.window->Journal->events(t.window->JournalRaceId).size(), 2);
    }
    // A data folder that cannot be made: the race runs in memory, with a warning in view, until
    // the folder can be made; then the journal takes the race from its START.
    {
        TWindowUnderTest t;
        t.Close();
        const QString blockerPath = t.folder.filePath(QStringLiteral("kein-ordner"));
        QFile blocker(blockerPath);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        t.UseJournal(blockerPath + QStringLiteral("/journal.sqlite"));
        QVERIFY(!t.window->Journal->isOpen());
        QVERIFY(t.window->JournalWarning->isVisible());
        QVERIFY(t.window->JournalWarning->text().contains(QStringLiteral("nur im Speicher")));
        t.ClickStart();
        t.Advance(2000);
        t.Lap(1);
        QCOMPARE(t.window->Race.LapTable[1].Count, 1);
        t.window->FlushJournal();

        QVERIFY(QFile::remove(blockerPath));
        QVERIFY(QDir().mkpath(blockerPath));
        QTRY_VERIFY_WITH_TIMEOUT(!t.window->JournalWarning->isVisible(), 5000);
        QVERIFY(t.window->Journal->isOpen());
        QCOMPARE(t.window->Journal->events(t.window->JournalRaceId).size(), 2);
    }
}

void TestRaceResume::longJournalWarningKeepsTheWindowOnTheScreen()
{
    TWindowUnderTest t;
    QCoreApplication::processEvents();
    const int minimumBefore = t.window->minimumWidth();
    const int widthBefore = t.window->width();
    const QString message =
        QStringLiteral("Das Rennprotokoll „%1“ kann nicht geschrieben werden: der Datenträger ist "
                       "voll. Die Ereignisse bleiben im Speicher und werden erneut geschrieben, "
                       "sobald es wieder geht.")
            .arg(t.folder.filePath(QStringLiteral("ein/sehr/langer/Pfad/zum/Rennprotokoll/"
                                                  "journal.sqlite")));
    // As the journal reports a full disk.
    emit t.window->Journal->journalFailed(message);
    QCoreApplication::processEvents();
    QVERIFY(t.window->JournalWarning->isVisible());
    QCOMPARE(t.window->minimumWidth(), minimumBefore);
    QCOMPARE(t.window->width(), widthBefore);
    QVERIFY(t.window->frameGeometry().right() <= t.window->screen()->availableGeometry().right());
    // The whole text stays at hand under the mouse.
    QVERIFY2(t.window->JournalWarning->toolTip().contains(message),
             qPrintable(t.window->JournalWarning->toolTip()));
    // Most of the status bar is the warning's: the cause is in view, not only its first words.
    QVERIFY(t.window->JournalWarning->width() > t.window->StatusBar1->width() * 3 / 4);
}

void TestRaceResume::killedRaceLosesNoStoredPress()
{
    const QString child = QCoreApplication::applicationDirPath() + QStringLiteral("/race_child");
    constexpr int kRuns = 12;
    int acknowledged = 0;
    for (int run = 0; run < kRuns; ++run) {
        TWindowUnderTest t;
        t.Close();
        QProcess process;
        process.start(child, {t.SettingsPath(), t.JournalPath()});
        QVERIFY(process.waitForStarted());
        QVERIFY(process.waitForReadyRead(10000));
        QTest::qWait(int(QRandomGenerator::global()->bounded(150, 900)));
        ::kill(pid_t(process.processId()), SIGKILL);
        QVERIFY(process.waitForFinished(5000));
        QList<QPair<int, quint32>> acked;
        for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() == 3 && parts[0] == "ack")
                acked.append({parts[1].toInt(), parts[2].toUInt()});
        }
        acknowledged += int(acked.size());

        t.ticks.Set(2000000000);
        t.UseJournal();
        t.Answer(TFDlgYesNo::daYes);
        t.window->OfferResume();
        QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
        for (const auto &[car, ms] : acked) {
            const TCrossRecord &crossings = t.window->Race.CrossTable[car];
            const int laps = t.window->Race.LapTable[car].Count;
            QVERIFY2(std::find(crossings.Slot + 1, crossings.Slot + laps + 1, qint32(ms)) !=
                         crossings.Slot + laps + 1,
                     qPrintable(
                         QStringLiteral("run %1: car %2 at %3 ms lost").arg(run).arg(car).arg(ms)));
        }
    }
    qInfo("%d presses acknowledged before %d kills, none lost", acknowledged, kRuns);
    QVERIFY(acknowledged > 0);
}

void TestRaceResume::killedRaceKeepsThePressesOfALateJournal_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("a folder where the journal file should be") << "folder";
    QTest::newRow("a data folder that can be made only mid-race") << "late";
}

void TestRaceResume::killedRaceKeepsThePressesOfALateJournal()
{
    // The presses go on while the journal cannot be written; once it can, everything since
    // START is written, so a kill after that loses no acknowledged press, the first included.
    QFETCH(QString, obstacle);
    TWindowUnderTest t;
    t.Close();
    QString journalPath = t.JournalPath();
    const QString dataFolder = t.folder.filePath(QStringLiteral("daten"));
    if (obstacle == u"folder") {
        QVERIFY(QDir().mkpath(journalPath));
    } else {
        QFile blocker(dataFolder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        journalPath = dataFolder + QStringLiteral("/journal.sqlite");
    }
    QProcess process;
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/race_child"),
                  {t.SettingsPath(), journalPath});
    QVERIFY(process.waitForStarted());
    QVERIFY(process.waitForReadyRead(10000));
    QByteArray output;
    if (obstacle == u"late") {
        QTest::qWait(600);
        output += process.readAllStandardOutput();
        QVERIFY(!output.contains("ack "));
        QVERIFY(QFile::remove(dataFolder));
        QVERIFY(QDir().mkpath(dataFolder));
    }
    // Killed once a good many presses are stored, the kept ones and some after them.
    constexpr int kStoredBeforeKill = 40;
    QDeadlineTimer deadline(10000);
    while (output.count("ack ") < kStoredBeforeKill && !deadline.hasExpired()) {
        process.waitForReadyRead(100);
        output += process.readAllStandardOutput();
    }
    QVERIFY2(output.count("ack ") >= kStoredBeforeKill, "too few presses stored before the kill");
    ::kill(pid_t(process.processId()), SIGKILL);
    QVERIFY(process.waitForFinished(5000));
    output += process.readAllStandardOutput();
    QList<QPair<int, quint32>> acked;
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 3 && parts[0] == "ack")
            acked.append({parts[1].toInt(), parts[2].toUInt()});
    }
    // The child's first press: car 1, 97 ms into the race.
    QCOMPARE(acked.first(), (QPair<int, quint32>{1, 97}));

    t.UseJournal(journalPath);
    QVERIFY2(t.window->Journal->notice().isEmpty(), qPrintable(t.window->Journal->notice()));
    t.Answer(TFDlgYesNo::daYes);
    t.window->OfferResume();
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    for (const auto &[car, ms] : acked) {
        const TCrossRecord &crossings = t.window->Race.CrossTable[car];
        const int laps = t.window->Race.LapTable[car].Count;
        QVERIFY2(std::find(crossings.Slot + 1, crossings.Slot + laps + 1, qint32(ms)) !=
                     crossings.Slot + laps + 1,
                 qPrintable(QStringLiteral("car %1 at %2 ms lost").arg(car).arg(ms)));
    }
    if (obstacle == u"folder") {
        QCOMPARE(QDir(t.folder.path())
                     .entryList({QStringLiteral("journal.sqlite.ordner-*")}, QDir::Dirs)
                     .size(),
                 1);
    }
    int laps = 0;
    for (int car = 1; car <= kMaxCars; ++car)
        laps += t.window->Race.LapTable[car].Count;
    qInfo("%lld presses acknowledged before the kill, none lost; %d in the resumed race",
          qlonglong(acked.size()), laps);
}

void TestRaceResume::archiveShowsEarlierRacesReadOnly()
{
    TWindowUnderTest t;
    t.UseJournal();
    t.window->seCarCount->setValue(3);
    t.window->seKrugs->setValue(2);
    t.window->eTitle->setText(QStringLiteral("Vereinslauf"));
    t.ClickStart();
    for (const int car : {3, 1, 2, 3, 1}) {
        t.Advance(1250);
        t.Lap(car);
    }
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart(); // stopped with car 2 on one lap
    const QStringList stopped = standings(t);
    const TResultsSnapshot results = t.window->ResultsSnapshot();
    const qint64 raceId = t.window->JournalRaceId;
    t.ClickStart(); // reset
    const qsizetype recorded = t.window->Journal->events(raceId).size();
    t.window->eTitle->setText(QStringLiteral("Nächstes Rennen"));
    t.window->TypeIntoStandings(TRaceTiming::colFahrer, 1, QStringLiteral("Lena"));

    t.Key(Qt::Key_R, Qt::ControlModifier);
    auto *archive = t.window->findChild<TArchiveWindow *>();
    QVERIFY(archive && archive->isVisible());
    QCOMPARE(archive->Model->rowCount(), 1);
    QCOMPARE(archive->Model->index(0, 1).data().toString(), QStringLiteral("Vereinslauf"));
    QCOMPARE(archive->Model->index(0, 6).data().toString(), QStringLiteral("gestoppt"));
    QVERIFY(!archive->Model->index(0, 5).data().toString().isEmpty()); // the winner
    archive->OpenButton->click();
    QVERIFY(t.window->ViewingArchivedRace());
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    QCOMPARE(standings(t), stopped);
    QCOMPARE(t.window->ResultsSnapshot().rows.size(), results.rows.size());
    QCOMPARE(t.window->eTitle->text(), QStringLiteral("Vereinslauf"));
    // Looking records nothing; START brings the header back as it was.
    t.Advance(5000);
    t.Lap(1);
    QCOMPARE(t.window->Journal->events(raceId).size(), recorded);
    t.ClickStart();
    QCOMPARE(t.window->RaceState(), TFormMain::rsReady);
    QCOMPARE(t.window->eTitle->text(), QStringLiteral("Nächstes Rennen"));
    QCOMPARE(t.Cell(TRaceTiming::colFahrer, 1), QStringLiteral("Lena"));
    // Deleting asks first, on "Nein".
    t.Key(Qt::Key_R, Qt::ControlModifier);
    t.Answer(TFDlgYesNo::daEnter);
    archive->DeleteButton->click();
    QCOMPARE(archive->Model->rowCount(), 1);
    t.Answer(TFDlgYesNo::daYes);
    archive->DeleteButton->click();
    QCOMPARE(archive->Model->rowCount(), 0);
    QVERIFY(t.window->Journal->races().isEmpty());
}

void TestRaceResume::terminatedRaceClosesAsANormalClose()
{
    // SIGTERM in the middle of a running race (a logout): no question holds the program, the
    // settings are saved and every press is in the journal for the next start.
    TWindowUnderTest t;
    t.Close();
    QFile::remove(t.SettingsPath());
    QProcess process;
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/race_child"),
                  {t.SettingsPath(), t.JournalPath()});
    QVERIFY(process.waitForStarted());
    QVERIFY(process.waitForReadyRead(10000));
    QTest::qWait(400);
    ::kill(pid_t(process.processId()), SIGTERM);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(QFile::exists(t.SettingsPath()));
    int acked = 0;
    for (const QByteArray &line : process.readAllStandardOutput().split('\n'))
        acked += line.startsWith("ack ");
    t.UseJournal();
    t.Answer(TFDlgYesNo::daYes);
    t.window->OfferResume();
    int laps = 0;
    for (int car = 1; car <= kMaxCars; ++car)
        laps += t.window->Race.LapTable[car].Count;
    QVERIFY(laps >= acked);
    QVERIFY(laps > 0);
}

QTEST_MAIN(TestRaceResume)
#include "tst_raceresume.moc"
