#include "AnalysisWindow.h"
#include "CorrectionDesk.h"
#include "LiveServer.h"
#include "PassLogModel.h"
#include "ShotPath.h"
#include "SpectatorBoard.h"
#include "SpeechOutput.h"
#include "WindowUnderTest.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <QScreen>

namespace {

// Records what would be spoken; speaks in no time.
class TRecordingSpeech : public TSpeechOutput
{
public:
    void say(const QString &text) override
    {
        said << text;
        QMetaObject::invokeMethod(
            this, [this] { emit finished(); }, Qt::QueuedConnection);
    }
    bool isSpeaking() const override { return false; }
    QStringList said;
};

// The JSON of the running live page, read through a plain HTTP request.
QJsonObject liveStandings(quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(3000))
        return {};
    socket.write("GET /api/standings HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n");
    QByteArray reply;
    while (socket.waitForReadyRead(3000))
        reply += socket.readAll();
    reply += socket.readAll();
    const qsizetype body = reply.indexOf("\r\n\r\n");
    if (!reply.startsWith("HTTP/1.1 200") || body < 0)
        return {};
    return QJsonDocument::fromJson(reply.mid(body + 4)).object();
}

void startRace(TWindowUnderTest &t, int cars, int laps)
{
    t.window->seCarCount->setValue(cars);
    t.window->seKrugs->setValue(laps);
    for (int r = 1; r <= cars; ++r) {
        t.window->TypeIntoStandings(TRaceTiming::colNr, r, QString::number(10 + r));
        t.window->TypeIntoStandings(TRaceTiming::colFahrer, r,
                                    QStringLiteral("<b>Fahrer %1</b>").arg(r));
    }
    t.ClickStart();
}

void lapAt(TWindowUnderTest &t, quint32 &now, quint32 ms, int car)
{
    t.Advance(ms - now);
    now = ms;
    t.Lap(car);
    QCoreApplication::processEvents();
}

} // namespace

class TestAudience : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void livePageFollowsPressesAndCorrections();
    void pressesAreAnnounced();
    void aSpeechServiceThatDoesNotStartIsShown();
    void standingsScaleAndKeepTheirScale();
    void zoomNeverPushesTheWindowOffTheScreen();
    void boardFollowsPressesAndCorrections();
    void analysisFollowsTheRace();
};

void TestAudience::livePageFollowsPressesAndCorrections()
{
    TWindowUnderTest t;
    QVERIFY(t.window->SetLivePage(true, 0));
    const quint16 port = t.window->LiveServer->port();
    QVERIFY(port != 0);
    startRace(t, 3, 5);
    quint32 now = 0;
    lapAt(t, now, 60000, 2);
    lapAt(t, now, 61000, 1);
    QElapsedTimer waited;
    waited.start();
    QJsonObject json;
    // The page's data shows the press within a second.
    do {
        QTest::qWait(20);
        json = liveStandings(port);
    } while (json.value(QStringLiteral("lastCar")).toInt() != 1 && waited.elapsed() < 3000);
    QVERIFY2(waited.elapsed() < 1000, qPrintable(QString::number(waited.elapsed())));
    QJsonArray rows = json.value(QStringLiteral("rows")).toArray();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].toObject().value(QStringLiteral("key")).toString(), QStringLiteral("F2"));
    QCOMPARE(rows[0].toObject().value(QStringLiteral("driver")).toString(),
             QStringLiteral("<b>Fahrer 2</b>"));
    QCOMPARE(rows[1].toObject().value(QStringLiteral("laps")).toInt(), 1);

    // A correction reaches the page as a press does: car 2's lap deleted, car 1 leads.
    t.window->Desk->SelectCrossing(t.window->Desk->Model()->IdAt(1));
    QTest::keyClick(t.window->Desk->PassView(), Qt::Key_Delete);
    waited.restart();
    do {
        QTest::qWait(20);
        json = liveStandings(port);
        rows = json.value(QStringLiteral("rows")).toArray();
    } while (rows[0].toObject().value(QStringLiteral("key")).toString() != QStringLiteral("F1") &&
             waited.elapsed() < 3000);
    QVERIFY2(waited.elapsed() < 1000, qPrintable(QString::number(waited.elapsed())));
    QCOMPARE(rows[1].toObject().value(QStringLiteral("laps")).toInt(), 0);

    // Switched off, the port is closed.
    QVERIFY(t.window->SetLivePage(false, port));
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    QVERIFY(!socket.waitForConnected(1000));

    // A press while it is off is on the page the moment it is switched on again.
    lapAt(t, now, 121000, 1);
    QVERIFY(t.window->SetLivePage(true, 0));
    json = liveStandings(t.window->LiveServer->port());
    rows = json.value(QStringLiteral("rows")).toArray();
    QCOMPARE(rows[0].toObject().value(QStringLiteral("key")).toString(), QStringLiteral("F1"));
    QCOMPARE(rows[0].toObject().value(QStringLiteral("laps")).toInt(), 2);
}

void TestAudience::pressesAreAnnounced()
{
    TWindowUnderTest t;
    TRecordingSpeech speech;
    t.window->UseSpeechOutput(&speech);
    // Off by default: nothing is said.
    startRace(t, 2, 3);
    quint32 now = 0;
    lapAt(t, now, 61000, 1);
    QVERIFY(speech.said.isEmpty());
    t.window->SetSpeechOn(true);
    lapAt(t, now, 62500, 2);
    lapAt(t, now, 123400, 1); // the leader starts its last lap
    lapAt(t, now, 185000, 1); // and finishes
    lapAt(t, now, 190000, 2);
    QTRY_COMPARE(speech.said.size(), 4);
    QCOMPARE(speech.said[0],
             QStringLiteral("Startnummer zwölf, Runde eins, eins null zwei Komma fünf"));
    QCOMPARE(speech.said[1],
             QStringLiteral("Startnummer elf, Runde zwei, eins null zwei Komma vier, "
                            "letzte Runde"));
    QVERIFY(speech.said[2].endsWith(QStringLiteral("im Ziel")));
    QVERIFY(speech.said[3].startsWith(QStringLiteral("Startnummer zwölf, Runde zwei")));
    // A press after the car's finish is not announced.
    lapAt(t, now, 200000, 1);
    QTest::qWait(50);
    QCOMPARE(speech.said.size(), 4);
}

void TestAudience::aSpeechServiceThatDoesNotStartIsShown()
{
    // The system's speech as the window makes it, with no speech service to reach.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray before = qgetenv("SPEECHD_ADDRESS");
    qputenv("SPEECHD_ADDRESS", QStringLiteral("unix_socket:%1")
                                   .arg(dir.filePath(QStringLiteral("keiner.sock")))
                                   .toLocal8Bit());
    {
        TWindowUnderTest t;
        t.window->SetSpeechOn(true);
        // Told at once, before the first press.
        QTRY_VERIFY_WITH_TIMEOUT(!t.window->SpeechProblem.isEmpty(), 10000);
        const QString reason = t.window->SpeechProblem;
        QVERIFY(reason.startsWith(QStringLiteral("Die Sprachausgabe")));
        QCOMPARE(t.window->StatusBar1->currentMessage(), reason);

        // Ctrl+J gives the reason and what the announcements need.
        QString shown;
        QTimer::singleShot(0, [&shown] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            auto *label = dialog->findChild<QLabel *>(QStringLiteral("SpeechProblem"));
            if (label && label->isVisible())
                shown = label->text();
            dialog->close();
        });
        t.Key(Qt::Key_J, Qt::ControlModifier);
        QVERIFY2(shown.contains(reason), qPrintable(shown));
        QVERIFY(shown.contains(QStringLiteral("speech-dispatcher")));

        // The race goes on, and a timed message in between does not hide the reason for good.
        startRace(t, 2, 3);
        t.window->StatusBar1->showMessage(QStringLiteral("Zwischendurch"), 1);
        QTRY_VERIFY(t.window->StatusBar1->currentMessage().isEmpty());
        quint32 now = 0;
        lapAt(t, now, 61000, 1);
        lapAt(t, now, 62000, 2);
        QCOMPARE(t.window->Race.LapTable[2].Count, 1);
        QTRY_COMPARE(t.window->StatusBar1->currentMessage(), reason);

        // Switched off, nothing more is said of it.
        t.window->SetSpeechOn(false);
        QVERIFY(t.window->StatusBar1->currentMessage().isEmpty());
    }
    if (before.isNull())
        qunsetenv("SPEECHD_ADDRESS");
    else
        qputenv("SPEECHD_ADDRESS", before);
}

void TestAudience::standingsScaleAndKeepTheirScale()
{
    TWindowUnderTest t;
    const int rowHeight = t.window->SortGrid1->DefaultRowHeight();
    const int fontPx = t.window->SortGrid1->font().pixelSize();
    const int nrWidth = t.window->SortGrid1->ColWidths(TRaceTiming::colNr);
    t.Key(Qt::Key_Plus, Qt::ControlModifier);
    t.Key(Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(t.window->StandingsZoomPercent, 120);
    QVERIFY(t.window->SortGrid1->DefaultRowHeight() > rowHeight);
    QVERIFY(t.window->SortGrid1->font().pixelSize() > fontPx);
    QVERIFY(t.window->SortGrid1->ColWidths(TRaceTiming::colNr) > nrWidth);
    // Every row is still in sight.
    QCOMPARE(t.window->SortGrid1->VisibleRowCount(), t.window->SortGrid1->RowCount() - 1);
    t.Close();
    t.Open();
    QCOMPARE(t.window->StandingsZoomPercent, 120);
    QVERIFY(t.window->SortGrid1->font().pixelSize() > fontPx);
    t.Key(Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(t.window->SortGrid1->DefaultRowHeight(), rowHeight);
    QCOMPARE(t.window->SortGrid1->font().pixelSize(), fontPx);
    QCOMPARE(t.window->SortGrid1->ColWidths(TRaceTiming::colNr), nrWidth);
}

void TestAudience::zoomNeverPushesTheWindowOffTheScreen()
{
    TWindowUnderTest t;
    const QRect screen = t.window->screen()->availableGeometry();
    t.window->resize(screen.width() - 200, t.window->height());
    const QSize before = t.window->size();
    TSortGrid *grid = t.window->SortGrid1;
    for (int step = 0; step < 12; ++step)
        t.Key(Qt::Key_Plus, Qt::ControlModifier);
    QVERIFY(t.window->StandingsZoomPercent > 200);
    QVERIFY2(t.window->frameGeometry().width() <= screen.width(),
             qPrintable(QString::number(t.window->frameGeometry().width())));
    // Every column keeps some width and all of them lie within the grid.
    int columns = 0;
    for (int col = 0; col < grid->ColCount(); ++col) {
        QVERIFY(grid->ColWidths(col) > 0);
        columns += grid->ColWidths(col);
    }
    QVERIFY(columns <= grid->width());
    t.Key(Qt::Key_0, Qt::ControlModifier);
    // As before, but for what the unzoomed grid needs beside it.
    QVERIFY(qAbs(t.window->size().width() - before.width()) <= 8);
    // Maximised, zoomed and back: maximised as before.
    t.window->showMaximized();
    QTRY_VERIFY(t.window->isMaximized());
    t.Key(Qt::Key_Plus, Qt::ControlModifier);
    t.Key(Qt::Key_Plus, Qt::ControlModifier);
    QVERIFY(t.window->frameGeometry().width() <= screen.width());
    t.Key(Qt::Key_0, Qt::ControlModifier);
    QVERIFY(t.window->isMaximized());
}

namespace {

// The board's drivers, top to bottom.
QStringList boardDrivers(const TSpectatorBoard &board)
{
    QStringList drivers;
    for (const TSpectatorBoard::TCellView &cell : board.cells()) {
        if (cell.kind == TSpectatorBoard::TCellKind::Driver)
            drivers << cell.text;
    }
    return drivers;
}

} // namespace

void TestAudience::boardFollowsPressesAndCorrections()
{
    TWindowUnderTest t;
    startRace(t, 3, 5);
    t.window->activateWindow();
    t.Key(Qt::Key_T, Qt::ControlModifier);
    QVERIFY(t.window->Board && t.window->Board->isVisible());
    quint32 now = 0;
    lapAt(t, now, 60000, 3);
    lapAt(t, now, 61000, 1);
    QCOMPARE(boardDrivers(*t.window->Board).mid(0, 2),
             (QStringList{QStringLiteral("<b>Fahrer 3</b>"), QStringLiteral("<b>Fahrer 1</b>")}));
    QCOMPARE(t.window->Board->markedCar(), 1);
    // The board takes no keys: the next lap key still reaches the race.
    QTRY_VERIFY(!t.window->Board->isActiveWindow());
    lapAt(t, now, 62000, 2);
    QCOMPARE(t.window->Race.LapTable[2].Count, 1);
    // Car 3's lap was a slip: deleted, the board shows car 1 ahead at once.
    t.window->Desk->SelectCrossing(t.window->Desk->Model()->IdAt(2));
    QTest::keyClick(t.window->Desk->PassView(), Qt::Key_Delete);
    QCOMPARE(boardDrivers(*t.window->Board).first(), QStringLiteral("<b>Fahrer 1</b>"));
    t.Key(Qt::Key_T, Qt::ControlModifier);
    QVERIFY(!t.window->Board->isVisible());
}

void TestAudience::analysisFollowsTheRace()
{
    TWindowUnderTest t;
    startRace(t, 3, 5);
    quint32 now = 0;
    lapAt(t, now, 60000, 2);
    lapAt(t, now, 61000, 1);
    t.Key(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(t.window->Analysis && t.window->Analysis->isVisible());
    // Rows in standings order: car 2 first after lap 1, car 1 second.
    QCOMPARE(t.window->Analysis->Places(), (QList<QList<int>>{{1}, {2}, {}}));
    lapAt(t, now, 110000, 1);
    lapAt(t, now, 125000, 2);
    QCOMPARE(t.window->Analysis->Snapshot().rows[0].car, 1);
    QCOMPARE(t.window->Analysis->Places(), (QList<QList<int>>{{2, 1}, {1, 2}, {}}));
    QVERIFY(t.window->Analysis->grab().save(ShotPath(QStringLiteral("analysis-window.png"))));
}

QTEST_MAIN(TestAudience)
#include "tst_audience.moc"
