// Eleven scripted races through the real window, and everything a user sees of each kept as
// text: the standings grid, the results and analysis pages, both CSV files, the workbook's
// parts, the live page's JSON and the pass log. Each race's text is compared with its file in
// tests/app/characterization, so a change to how the race is held shows that it reproduces them
// byte for byte.
//
// To record the files again from the present code:
//   TALVENBAHN_RECORD_CHARACTERIZATION=$PWD/tests/app/characterization tst_characterization
//
// The workbook is written as the Excel command writes it (WriteResultsWorkbook, then
// WriteResultsCharts) into the test's folder. The races run in the German locale.
//
// Only what depends on the real wall clock is replaced: the date the exports print (by a
// pattern), the time of day of each correction (in the snapshot, before any writer sees it, so
// the workbook's shared strings do not depend on how many seconds the corrections took) and
// the time of day of each crossing in the pass log.
#include "AnalysisPageWriter.h"
#include "CorrectionDesk.h"
#include "DocumentOpener.h"
#include "ErrorReportingApplication.h"
#include "Excel.h"
#include "PassLogModel.h"
#include "RaceJournal.h"
#include "ResultsCharts.h"
#include "ResultsCsv.h"
#include "ResultsPageWriter.h"
#include "ResultsWorkbook.h"
#include "TInplaceEdit.h"
#include "WindowUnderTest.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStringDecoder>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

#include <zip.h>

#include <algorithm>
#include <functional>

namespace {

using Rule = TRaceTiming::TFinishRule;

const QString kTimeOfDay = QStringLiteral("hh:mm:ss");
const QString kDate = QStringLiteral("TT.MM.JJ");

struct TPress
{
    quint32 ms; // race time
    int car;
    int lap;
};

// Every car's crossings, in the order of their race times: car c runs laps[c - 1] laps, each
// lasting baseMs[c - 1] plus up to wobbleMs more that varies from lap to lap, so the cars pass
// each other.
QList<TPress> Schedule(const QList<quint32> &baseMs, const QList<int> &laps, quint32 wobbleMs)
{
    QList<TPress> presses;
    for (int car = 1; car <= baseMs.size(); ++car) {
        quint32 ms = 0;
        for (int lap = 1; lap <= laps[car - 1]; ++lap) {
            ms += baseMs[car - 1] + quint32(car * 7919 + lap * 6007 + car * lap * 131) % wobbleMs;
            presses.append({ms, car, lap});
        }
    }
    std::stable_sort(presses.begin(), presses.end(), [](const TPress &a, const TPress &b) {
        return a.ms != b.ms ? a.ms < b.ms : a.car < b.car;
    });
    return presses;
}

QList<TPress> Schedule(const QList<quint32> &baseMs, int laps, quint32 wobbleMs)
{
    return Schedule(baseMs, QList<int>(baseMs.size(), laps), wobbleMs);
}

quint32 PressTime(const QList<TPress> &presses, int car, int lap)
{
    for (const TPress &p : presses) {
        if (p.car == car && p.lap == lap)
            return p.ms;
    }
    qFatal("car %d has no lap %d in the schedule", car, lap);
}

// Texts as lines of a golden file: a backslash, CR, tab and the other control characters
// become escapes, so no byte of an output is lost or hidden. A line ending in a lone
// backslash goes on in the next one (a break put in for reading); an output without a final
// newline says so in its last line.
QString Visible(QStringView text)
{
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case u'\n':
            out += u'\n';
            break;
        case 0xFEFF:
            out += QStringLiteral("\\uFEFF");
            break;
        default:
            if (ch.unicode() < 0x20 || ch.unicode() == 0x7F)
                out += QStringLiteral("\\x%1").arg(ch.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += ch;
        }
    }
    if (!out.endsWith(u'\n'))
        out += QStringLiteral("\n\\ (no newline at end)\n");
    return out;
}

// XML on one long line, broken before every start tag for reading.
QString BrokenXml(const QString &visible)
{
    static const QRegularExpression beforeStartTag(QStringLiteral(">(?=<[^/])"));
    return QString(visible).replace(beforeStartTag, QStringLiteral(">\\\n"));
}

// The export date in the German short format, wherever an output prints it.
QString WithoutDate(QString text)
{
    static const QRegularExpression date(QStringLiteral(R"((?<![\d.])\d\d\.\d\d\.\d\d(?!\d))"));
    return text.replace(date, kDate);
}

QString FromUtf8(const QByteArray &bytes, bool &ok)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    ok = !decoder.hasError();
    return text;
}

// Every part of a workbook file but its document properties (which hold the moment it was
// made), by name.
QList<QPair<QString, QByteArray>> WorkbookParts(const QString &fileName)
{
    QList<QPair<QString, QByteArray>> parts;
    int errorCode = 0;
    zip_t *archive = zip_open(QFile::encodeName(fileName).constData(), ZIP_RDONLY, &errorCode);
    if (!archive)
        return parts;
    const zip_int64_t entries = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &stat) != 0)
            continue;
        const QString name = QString::fromUtf8(stat.name);
        if (name.startsWith(QStringLiteral("docProps/")))
            continue;
        QByteArray content(qsizetype(stat.size), '\0');
        zip_file_t *file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        if (file) {
            zip_fread(file, content.data(), stat.size);
            zip_fclose(file);
        }
        parts.append({name, content});
    }
    zip_close(archive);
    std::sort(parts.begin(), parts.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    return parts;
}

// A row of cells as one line; a '|' in a cell is escaped.
QString Row(const QStringList &cells)
{
    QStringList escaped;
    for (const QString &cell : cells)
        escaped << QString(cell).replace(u'|', QStringLiteral("\\|"));
    return escaped.join(QStringLiteral(" | "));
}

// Drives one race through the real window on its hand-set clock and keeps what it shows at
// the moments asked for.
class TScriptedRace
{
public:
    explicit TScriptedRace(TWindowUnderTest &t) : T(t) {}

    TWindowUnderTest &T;
    quint32 Now = 0; // race ms the clock stands at
    QString Text;    // the outputs kept so far

    // Moves the clock on to race time ms.
    void To(quint32 ms)
    {
        if (ms < Now)
            qFatal("the script goes back in time: %u ms after %u ms", ms, Now);
        T.Advance(ms - Now);
        Now = ms;
    }
    void Lap(int car, quint32 ms)
    {
        To(ms);
        T.Lap(car);
    }
    // Presses the keys at their race times.
    void Press(const QList<TPress> &presses)
    {
        for (const TPress &p : presses)
            Lap(p.car, p.ms);
        Settle();
    }
    // The presses of the race's schedule before race time untilMs not pressed yet.
    void PressUntil(const QList<TPress> &presses, quint32 untilMs)
    {
        QList<TPress> due;
        while (FNext < presses.size() && presses[FNext].ms < untilMs)
            due.append(presses[FNext++]);
        Press(due);
    }
    void PressAll(const QList<TPress> &presses) { PressUntil(presses, 0xFFFFFFFF); }
    // The presses reach the pass log and the corrections once the repaint is done.
    void Settle()
    {
        QCoreApplication::processEvents();
        T.window->FlushJournal();
    }

    void Setup(Rule rule, int cars, int laps, const QStringList &drivers = {})
    {
        T.window->cbFinish->setCurrentIndex(int(rule));
        T.window->seCarCount->setValue(cars);
        T.window->seKrugs->setValue(laps);
        for (int r = 1; r <= drivers.size(); ++r) {
            T.window->TypeIntoStandings(TRaceTiming::colNr, r, QString::number(10 + r));
            T.window->TypeIntoStandings(TRaceTiming::colFahrer, r, drivers[r - 1]);
        }
    }
    // Types the race duration into the clock field, as the operator does.
    void TypeRaceTime(const QString &text)
    {
        QLineEdit *clock = T.window->meTime;
        clock->setFocus();
        clock->selectAll();
        QTest::keyClicks(clock, text);
        QTest::keyClick(clock, Qt::Key_Return);
        T.window->SortGrid1->setFocus();
    }
    // STOPP, answered "Ja".
    void Stop()
    {
        T.Answer(TFDlgYesNo::daYes);
        T.ClickStart();
    }

    // The crossing of car at race time ms, as the pass log lists it; 0 when it is not there.
    int CrossingAt(int car, quint32 ms) const
    {
        const TPassLogModel *log = T.window->Desk->Model();
        const QString key = QStringLiteral("F%1").arg(car);
        const QString time = TRaceCorrections::RaceTimeText(ms);
        for (int row = 0; row < log->rowCount(); ++row) {
            if (log->index(row, TPassLogModel::colKey).data().toString() == key &&
                log->index(row, TPassLogModel::colRace).data().toString() == time)
                return log->IdAt(row);
        }
        return 0;
    }
    // Selects a crossing in the pass log and gives the log a key, as the operator would.
    void KeyOnCrossing(int id, int key, Qt::KeyboardModifiers modifiers = {})
    {
        QVERIFY(id != 0);
        T.window->Desk->SelectCrossing(id);
        QCOMPARE(T.window->Desk->SelectedCrossing(), id);
        QTest::keyClick(T.window->Desk->PassView(), Qt::Key(key), modifiers);
    }
    // A verdict key (Ctrl+Shift+key) on car's row of the standings.
    void Judge(int car, int key)
    {
        const int row = T.RowOfKey(QStringLiteral("F%1").arg(car));
        QVERIFY(row > 0);
        T.window->SortGrid1->setFocus();
        T.window->SortGrid1->GotoCell(TRaceTiming::colNr, row, false);
        QTest::keyClick(T.window->SortGrid1, Qt::Key(key), Qt::ControlModifier | Qt::ShiftModifier);
    }
    void ClickTitle(int col, Qt::MouseButton button)
    {
        TSortGrid *grid = T.window->SortGrid1;
        QTest::mouseClick(grid->viewport(), button, Qt::NoModifier,
                          grid->CellRect(col, 0).center());
    }

    // Keeps every output at this moment.
    void Capture(const QString &moment);

private:
    void Section(const QString &moment, const QString &output, const QString &visibleText)
    {
        Text += QStringLiteral("==== %1: %2 ====\n").arg(moment, output) + visibleText;
    }

    qsizetype FNext = 0; // the next press of the schedule
};

void TScriptedRace::Capture(const QString &moment)
{
    Settle();
    // The window's timers run every 10 ms of real time; whether one ran since the last press or
    // correction must not show. They run once more at the clock's present reading.
    T.Advance(0);
    TFormMain &w = *T.window;

    QString grid;
    for (int r = 0; r < w.SortGrid1->RowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < w.SortGrid1->ColCount(); ++c)
            cells << w.SortGrid1->Cells(c, r);
        grid += Row(cells) + u'\n';
    }
    Section(moment, QStringLiteral("standings"), Visible(grid));

    TResultsSnapshot snapshot = w.ResultsSnapshot();
    static const QRegularExpression timeOfDay(QStringLiteral(R"(^\d\d:\d\d:\d\d$)"));
    for (TCorrectionLine &line : snapshot.corrections) {
        QVERIFY2(timeOfDay.match(line.time).hasMatch(), qPrintable(line.time));
        line.time = kTimeOfDay;
    }
    for (TCrossingLine &line : snapshot.crossings) {
        QVERIFY2(timeOfDay.match(line.time).hasMatch(), qPrintable(line.time));
        line.time = kTimeOfDay;
    }
    bool utf8 = true;
    Section(moment, QStringLiteral("results page (ISO 8859-1)"),
            WithoutDate(Visible(QString::fromLatin1(TResultsPageWriter::page(snapshot)))));
    Section(moment, QStringLiteral("analysis page"),
            WithoutDate(Visible(FromUtf8(TAnalysisPageWriter::page(snapshot), utf8))));
    QVERIFY(utf8);
    Section(moment, QStringLiteral("results CSV"), Visible(FromUtf8(ResultsCsv(snapshot), utf8)));
    QVERIFY(utf8);
    Section(moment, QStringLiteral("crossings CSV"),
            Visible(FromUtf8(CrossingsCsv(snapshot), utf8)));
    QVERIFY(utf8);

    // The workbook as the Excel command writes it, into the test's folder.
    {
        TExcel excel;
        excel.SetFolder(T.folder.path());
        excel.SetBaseName(QStringLiteral("Talvenbahn"));
        QVERIFY2(excel.Connect() && WriteResultsWorkbook(excel, snapshot) &&
                     WriteResultsCharts(excel, snapshot) && excel.Save(),
                 qPrintable(excel.errorString()));
        const QList<QPair<QString, QByteArray>> parts = WorkbookParts(excel.fileName());
        QVERIFY(!parts.isEmpty());
        for (const auto &[name, content] : parts) {
            Section(moment, QStringLiteral("workbook ") + name,
                    WithoutDate(BrokenXml(Visible(FromUtf8(content, utf8)))));
            QVERIFY2(utf8, qPrintable(name));
        }
        QVERIFY(QFile::remove(excel.fileName()));
    }

    Section(moment, QStringLiteral("live JSON"),
            Visible(FromUtf8(ToJson(w.AudienceStandings()), utf8)));
    QVERIFY(utf8);

    const TPassLogModel *log = w.Desk->Model();
    QString passLog;
    QStringList titles;
    for (int c = 0; c < log->columnCount(); ++c)
        titles << log->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    passLog += Row(titles) + u'\n';
    for (int r = 0; r < log->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < log->columnCount(); ++c) {
            QString cell = log->index(r, c).data(Qt::DisplayRole).toString();
            if (c == TPassLogModel::colWall) {
                QVERIFY2(timeOfDay.match(cell).hasMatch(), qPrintable(cell));
                cell = kTimeOfDay;
            }
            cells << cell;
        }
        passLog += Row(cells) + u'\n';
    }
    Section(moment, QStringLiteral("pass log"), Visible(passLog));
}

const QStringList kDrivers{QStringLiteral("Anna Berg"), QStringLiteral("Jörg Öhler"),
                           QStringLiteral("Łukasz <Ł&Ł>"), QStringLiteral("Zoë \"Blitz\" Ærø"),
                           QStringLiteral("Marta, die Zweite")};

// ---- The races ----

void AllLaps(TScriptedRace &race)
{
    race.Setup(Rule::AllLaps, 4, 5, kDrivers.mid(0, 4));
    const QList<TPress> presses = Schedule({60000, 60500, 61000, 61500}, 5, 6000);
    race.T.ClickStart();
    race.PressUntil(presses, presses[9].ms + 1);
    race.To(race.Now + 2345);
    race.Capture(QStringLiteral("mid-race"));
    race.PressAll(presses);
    race.To(race.Now + 20);
    QCOMPARE(race.T.window->RaceState(), TFormMain::rsStopped);
    race.Capture(QStringLiteral("end"));
}

void FlagAfterLaps(TScriptedRace &race)
{
    // Car 4 is lapped; every car runs a lap more than it needs.
    race.Setup(Rule::FlagAfterLaps, 4, 5, kDrivers.mid(0, 4));
    const QList<TPress> presses = Schedule({60000, 61000, 62000, 76000}, 6, 5000);
    race.T.ClickStart();
    race.PressUntil(presses, PressTime(presses, 1, 5) + 1);
    race.Capture(QStringLiteral("flag fallen"));
    race.PressAll(presses);
    race.To(race.Now + 20);
    QCOMPARE(race.T.window->RaceState(), TFormMain::rsStopped);
    race.Capture(QStringLiteral("end"));
}

void LapsOrTime(TScriptedRace &race)
{
    // Three minutes end the race before the leader's five laps.
    race.Setup(Rule::FlagAfterLapsOrTime, 4, 5, kDrivers.mid(0, 4));
    race.TypeRaceTime(QStringLiteral("00:03:00"));
    const QList<TPress> presses = Schedule({55000, 56000, 58000, 60000}, 6, 7000);
    race.T.ClickStart();
    race.PressAll(presses);
    race.To(race.Now + 20);
    QCOMPARE(race.T.window->RaceState(), TFormMain::rsStopped);
    race.Capture(QStringLiteral("end"));
}

void TimePlusOneLap(TScriptedRace &race)
{
    race.Setup(Rule::FlagAfterTime, 3, 5, kDrivers.mid(0, 3));
    race.TypeRaceTime(QStringLiteral("00:03:00"));
    const QList<TPress> presses = Schedule({40000, 41000, 43000}, 8, 6000);
    race.T.ClickStart();
    race.PressUntil(presses, 100000);
    race.To(100000);
    race.Capture(QStringLiteral("mid-race"));
    race.PressAll(presses);
    race.To(race.Now + 20);
    QCOMPARE(race.T.window->RaceState(), TFormMain::rsStopped);
    race.Capture(QStringLiteral("end"));
}

void Verdicts(TScriptedRace &race)
{
    race.T.UseJournal();
    race.Setup(Rule::AllLaps, 5, 4, kDrivers);
    // Car 5 never comes to the line.
    const QList<TPress> presses = Schedule({60000, 60700, 61400, 62100}, 4, 3000);
    std::optional<int> answer;
    race.T.window->AskNumber = [&answer](const QString &, int, int, int) { return answer; };
    race.T.ClickStart();
    race.Judge(5, Qt::Key_D);
    race.PressUntil(presses, presses[7].ms + 1);
    answer = 2;
    race.Judge(1, Qt::Key_T); // 2 s penalty
    answer = 1;
    race.Judge(3, Qt::Key_F); // retired after lap 1
    race.Judge(2, Qt::Key_Q); // disqualified
    answer = 1;
    race.Judge(4, Qt::Key_R); // a lap off
    race.Capture(QStringLiteral("mid-race"));
    race.PressAll(presses);
    race.To(race.Now + 20);
    QCOMPARE(race.T.window->RaceState(), TFormMain::rsStopped);
    race.Capture(QStringLiteral("end"));
}

void Corrections(TScriptedRace &race)
{
    race.T.UseJournal();
    race.T.window->Desk->MinLapField()->setValue(20);
    race.Setup(Rule::AllLaps, 4, 5, kDrivers.mid(0, 4));
    const QList<TPress> right = Schedule({60000, 61000, 62000, 63000}, 5, 4000);
    // The slips: car 1 pressed again 10 s after its first lap (held: shorter than the least
    // lap), car 2's third lap pressed on F3, car 3 pressed twice after its second lap and its
    // fourth lap 2 s late, car 4's second and fourth laps not pressed.
    const quint32 held = PressTime(right, 1, 1) + 10000;
    const quint32 wrongKey = PressTime(right, 2, 3);
    const quint32 doubled = PressTime(right, 3, 2) + 31000;
    const quint32 late = PressTime(right, 3, 4) + 2000;
    QList<TPress> slipped{{held, 1, 0}, {doubled, 3, 0}};
    for (const TPress &p : right) {
        if (p.car == 2 && p.lap == 3)
            slipped.append({p.ms, 3, 0});
        else if (p.car == 3 && p.lap == 4)
            slipped.append({late, 3, 4});
        else if (!(p.car == 4 && (p.lap == 2 || p.lap == 4)))
            slipped.append(p);
    }
    std::stable_sort(slipped.begin(), slipped.end(),
                     [](const TPress &a, const TPress &b) { return a.ms < b.ms; });
    std::optional<QPair<int, quint32>> answer;
    race.T.window->AskCrossing = [&answer](const TFormMain::TCrossingQuestion &) { return answer; };

    race.T.ClickStart();
    race.PressUntil(slipped, wrongKey + 1000);
    race.Capture(QStringLiteral("as pressed"));
    race.KeyOnCrossing(race.CrossingAt(3, doubled), Qt::Key_Delete);
    answer = QPair<int, quint32>(2, wrongKey);
    race.KeyOnCrossing(race.CrossingAt(3, wrongKey), Qt::Key_M, Qt::ControlModifier);
    race.KeyOnCrossing(race.CrossingAt(1, held), Qt::Key_Return);
    // The missed crossing is added from car 4's last crossing: Ctrl+L in the standings, Einfg.
    race.T.window->SortGrid1->setFocus();
    race.T.window->SortGrid1->GotoCell(TRaceTiming::colNr, race.T.RowOfKey(QStringLiteral("F4")),
                                       false);
    QTest::keyClick(race.T.window->SortGrid1, Qt::Key_L, Qt::ControlModifier);
    QVERIFY(race.T.window->Desk->PassView()->hasFocus());
    answer = QPair<int, quint32>(4, PressTime(right, 4, 2));
    QTest::keyClick(race.T.window->Desk->PassView(), Qt::Key_Insert);
    race.Capture(QStringLiteral("corrected while running"));

    race.PressAll(slipped);
    answer = QPair<int, quint32>(3, PressTime(right, 3, 4));
    race.KeyOnCrossing(race.CrossingAt(3, late), Qt::Key_E, Qt::ControlModifier);
    race.To(race.Now + 20);
    QCOMPARE(race.T.window->RaceState(), TFormMain::rsRunning); // car 4 lacks a lap
    // Car 4's last press closes a lap twice as long: split in two, the race is complete.
    race.KeyOnCrossing(race.CrossingAt(4, PressTime(right, 4, 5)), Qt::Key_Insert,
                       Qt::ControlModifier);
    race.To(race.Now + 20);
    QCOMPARE(race.T.window->RaceState(), TFormMain::rsStopped);
    race.Capture(QStringLiteral("end"));
}

void UndoRedo(TScriptedRace &race)
{
    race.T.UseJournal();
    race.Setup(Rule::AllLaps, 3, 4, kDrivers.mid(0, 3));
    const QList<TPress> presses = Schedule({60000, 61000, 62000}, 4, 4000);
    race.T.window->AskCrossing = [](const TFormMain::TCrossingQuestion &q) {
        return std::optional(QPair<int, quint32>(q.car == 1 ? 2 : 1, q.raceMs));
    };
    race.T.ClickStart();
    race.PressUntil(presses, presses[6].ms + 1);
    const TPassLogModel *log = race.T.window->Desk->Model();
    race.KeyOnCrossing(log->IdAt(0), Qt::Key_Delete);
    race.KeyOnCrossing(log->IdAt(2), Qt::Key_M, Qt::ControlModifier);
    race.KeyOnCrossing(log->IdAt(4), Qt::Key_Delete);
    race.T.Key(Qt::Key_Z, Qt::ControlModifier);
    race.T.Key(Qt::Key_Z, Qt::ControlModifier);
    race.T.Key(Qt::Key_Y, Qt::ControlModifier);
    race.Capture(QStringLiteral("after undo and redo"));
    race.PressUntil(presses, presses[presses.size() - 2].ms);
    race.Stop();
    QCOMPARE(race.T.window->RaceState(), TFormMain::rsStopped);
    race.Capture(QStringLiteral("stopped"));
    // Undone after the stop, the move changes the result.
    race.T.Key(Qt::Key_Z, Qt::ControlModifier);
    race.Capture(QStringLiteral("undone after the stop"));
}

void Resume(TScriptedRace &race)
{
    race.T.UseJournal();
    race.Setup(Rule::AllLaps, 4, 6, kDrivers.mid(0, 4));
    const QList<TPress> presses = Schedule({60000, 60600, 61200, 61800}, 6, 5000);
    race.T.ClickStart();
    race.PressUntil(presses, 190000);
    race.To(191500);
    race.Capture(QStringLiteral("before the crash"));
    QVERIFY(race.T.window->Journal->flush(5000));
    // The program ends without a stop, as a crash would end it, and is started again.
    race.T.Close();
    race.T.Open();
    race.T.Answer(TFDlgYesNo::daYes);
    race.T.window->OfferResume();
    QCOMPARE(race.T.window->RaceState(), TFormMain::rsRunning);
    race.Capture(QStringLiteral("resumed"));
    race.PressUntil(presses, 320000);
    race.Stop();
    QCOMPARE(race.T.window->RaceState(), TFormMain::rsStopped);
    race.Capture(QStringLiteral("stopped"));
}

// Types text into the standings cell key by key, as the operator does, and takes it with Enter.
void TypeIntoCell(TWindowUnderTest &t, int col, int row, const QString &text)
{
    TSortGrid *grid = t.window->SortGrid1;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->CellRect(col, row).center());
    QWidget *target = grid;
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key(ch.toUpper().unicode()), QString(ch),
                            Qt::NoModifier);
        if (grid->EditorMode())
            target = grid->InplaceEditor();
    }
    QVERIFY(grid->EditorMode());
    QTest::keyClick(target, Qt::Key_Return);
    QVERIFY(!grid->EditorMode());
    QCOMPARE(grid->Cells(col, row), text);
}

void StarterList(TScriptedRace &race)
{
    const QString list = race.T.folder.filePath(QStringLiteral("starter.csv"));
    {
        QFile file(list);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("7;Jürgen Groß\n12;Zoë Ærøskøbing\n3;\n44;Łukasz Żółć\n5;Ἀθηνᾶ Παππᾶ\n"
                   "61;Søren O'Brien\n8;Ñandú Pérez\n9;李小龍\n");
    }
    race.T.window->seCarCount->setValue(4);
    race.T.window->seKrugs->setValue(4);
    race.T.window->OpenDialog1.PrepareAnswer(list, 4);
    QTest::mouseClick(race.T.window->bStartList, Qt::LeftButton);
    race.T.WaitForStarterList();
    QCOMPARE(race.T.window->SortGrid1->RowCount(), 9);
    TypeIntoCell(race.T, TRaceTiming::colFahrer, 3, QStringLiteral("Käthe Ruß"));
    TypeIntoCell(race.T, TRaceTiming::colFahrer, 6, QStringLiteral("Nachgemeldet"));
    TypeIntoCell(race.T, TRaceTiming::colNr, 2, QStringLiteral("21"));
    const QList<TPress> presses = Schedule({60000, 60400, 60800, 61200}, 4, 5000);
    race.T.ClickStart();
    race.PressUntil(presses, 130000);
    race.Capture(QStringLiteral("mid-race"));
    race.PressAll(presses);
    race.To(race.Now + 20);
    QCOMPARE(race.T.window->RaceState(), TFormMain::rsStopped);
    race.Capture(QStringLiteral("end"));
}

void ReversedStandings(TScriptedRace &race)
{
    race.Setup(Rule::AllLaps, 4, 4, kDrivers.mid(0, 4));
    const QList<TPress> presses = Schedule({60000, 60500, 61000, 61500}, 4, 6000);
    TSortOptions *sort = race.T.window->SortGrid1->SortOptions();
    // A right click on the title sorts descending.
    race.ClickTitle(TRaceTiming::colPos, Qt::RightButton);
    QCOMPARE(sort->SortDirection, sdDescending);
    QVERIFY(!QApplication::activePopupWidget());
    race.T.ClickStart();
    race.PressUntil(presses, 130000);
    race.Capture(QStringLiteral("reversed"));
    // A left click on the sorted title turns it round again, from the next press on.
    race.ClickTitle(TRaceTiming::colPos, Qt::LeftButton);
    QCOMPARE(sort->SortDirection, sdAscending);
    race.PressUntil(presses, 190000);
    race.Capture(QStringLiteral("turned round"));
    race.ClickTitle(TRaceTiming::colPos, Qt::LeftButton);
    QCOMPARE(sort->SortDirection, sdDescending);
    race.PressAll(presses);
    race.To(race.Now + 20);
    QCOMPARE(race.T.window->RaceState(), TFormMain::rsStopped);
    race.Capture(QStringLiteral("end"));
}

void TwelveCars999Laps(TScriptedRace &race)
{
    // Car 1 runs 999 laps of 1.6 to 6.6 s, over an hour; the others laps of half a minute and
    // more, and each finishes at its next crossing once car 1 has taken the flag.
    QStringList drivers;
    for (int car = 1; car <= kMaxCars; ++car)
        drivers << QStringLiteral("Fahrer %1").arg(car);
    race.Setup(Rule::FlagAfterLaps, kMaxCars, kMaxLaps, drivers);
    QCOMPARE(race.T.window->seKrugs->value(), kMaxLaps);
    const quint32 leaderEnd = Schedule({1600}, kMaxLaps, 5000).last().ms;
    QList<quint32> base{1600};
    QList<int> laps{kMaxLaps + 1};
    for (int car = 2; car <= kMaxCars; ++car) {
        base << 30000 + 2500 * quint32(car);
        laps << int(leaderEnd / base.last()) + 2;
    }
    const QList<TPress> presses = Schedule(base, laps, 5000);
    race.T.ClickStart();
    race.PressAll(presses);
    race.To(race.Now + 20);
    QCOMPARE(race.T.window->RaceState(), TFormMain::rsStopped);
    QCOMPARE(race.T.Cell(TRaceTiming::colLaps, race.T.RowOfKey(QStringLiteral("F1"))),
             QString::number(kMaxLaps));
    race.Capture(QStringLiteral("end"));
}

const QList<QPair<const char *, std::function<void(TScriptedRace &)>>> kRaces{
    {"all-laps", AllLaps},
    {"flag-after-laps", FlagAfterLaps},
    {"laps-or-time", LapsOrTime},
    {"time-plus-one-lap", TimePlusOneLap},
    {"verdicts", Verdicts},
    {"corrections", Corrections},
    {"undo-redo", UndoRedo},
    {"resume", Resume},
    {"starter-list", StarterList},
    {"reversed-standings", ReversedStandings},
    {"twelve-cars-999-laps", TwelveCars999Laps},
};

} // namespace

class TestCharacterization : public QObject
{
    Q_OBJECT
public:
    explicit TestCharacterization(TErrorReportingApplication &app) : FApp(app) {}

private slots:
    void init();
    void cleanup();
    void raceLooksAsRecorded_data();
    void raceLooksAsRecorded();

private:
    void Compare(const QString &race, const QString &actual);

    TErrorReportingApplication &FApp;
    QStringList FErrors;
};

void TestCharacterization::init()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    FErrors.clear();
    FApp.ShowError = [this](const QString &text) { FErrors << text; };
    DocumentOpener::setHandler([](const QString &) {});
}

void TestCharacterization::cleanup()
{
    DocumentOpener::setHandler({});
    FApp.ShowError = {};
}

void TestCharacterization::raceLooksAsRecorded_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < kRaces.size(); ++i)
        QTest::newRow(kRaces[i].first) << i;
}

void TestCharacterization::raceLooksAsRecorded()
{
    QFETCH(int, index);
    const QString name = QString::fromLatin1(kRaces[index].first);
    TWindowUnderTest t;
    t.window->ShowWriteError = [this](const QString &text) { FErrors << text; };
    t.window->ShowNotice = [this](const QString &text) { FErrors << text; };
    TScriptedRace race(t);
    race.Text = QStringLiteral("Talvenbahn race \"%1\"\n").arg(name);
    kRaces[index].second(race);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(FErrors.isEmpty(), qPrintable(FErrors.join(u'\n')));
    QCOMPARE(t.dialog->PreparedAnswerCount(), 0);

    const QString recordInto = qEnvironmentVariable("TALVENBAHN_RECORD_CHARACTERIZATION");
    if (!recordInto.isEmpty()) {
        QFile file(QDir(recordInto).filePath(name + QStringLiteral(".txt")));
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
        file.write(race.Text.toUtf8());
        qInfo("recorded %s", qPrintable(file.fileName()));
        return;
    }
    Compare(name, race.Text);
}

void TestCharacterization::Compare(const QString &race, const QString &actual)
{
    QFile file(QStringLiteral(CHARACTERIZATION_DIR "/") + race + QStringLiteral(".txt"));
    QVERIFY2(file.open(QIODevice::ReadOnly),
             qPrintable(QStringLiteral("%1: %2 (record it with "
                                       "TALVENBAHN_RECORD_CHARACTERIZATION=<folder>)")
                            .arg(file.fileName(), file.errorString())));
    const QString expected = QString::fromUtf8(file.readAll());
    if (expected == actual)
        return;

    const QStringList want = expected.split(u'\n');
    const QStringList got = actual.split(u'\n');
    qsizetype line = 0;
    while (line < want.size() && line < got.size() && want[line] == got[line])
        ++line;
    QString output = QStringLiteral("(before the first output)");
    for (qsizetype i = qMin(line, want.size() - 1); i >= 0; --i) {
        if (want[i].startsWith(QStringLiteral("==== "))) {
            output = want[i];
            break;
        }
    }
    QTemporaryDir keep(QDir::temp().filePath(QStringLiteral("talvenbahn-characterization-XXXXXX")));
    keep.setAutoRemove(false);
    QFile written(keep.filePath(race + QStringLiteral(".txt")));
    if (written.open(QIODevice::WriteOnly))
        written.write(actual.toUtf8());
    QFAIL(qPrintable(QStringLiteral("race \"%1\", output %2, line %3 differs:\n"
                                    "  expected: %4\n  actual:   %5\nthe whole output is in %6")
                         .arg(race, output)
                         .arg(line + 1)
                         .arg(line < want.size() ? want[line] : QStringLiteral("(end of file)"),
                              line < got.size() ? got[line] : QStringLiteral("(end of output)"),
                              written.fileName())));
}

int main(int argc, char **argv)
{
    TErrorReportingApplication app(argc, argv);
    TestCharacterization test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_characterization.moc"
