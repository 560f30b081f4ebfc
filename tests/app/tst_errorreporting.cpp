#include "ErrorReportingApplication.h"

#include <QTest>
#include <QTimer>

#include <stdexcept>

namespace {

// Fails on every event it is sent, as a handler that hits bad input would.
class TFailingReceiver : public QObject
{
public:
    int eventsSeen = 0;

protected:
    bool event(QEvent *) override
    {
        ++eventsSeen;
        throw std::runtime_error("Die Datei ist keine Starterliste.");
    }
};

} // namespace

class TestErrorReporting : public QObject
{
    Q_OBJECT
public:
    explicit TestErrorReporting(TErrorReportingApplication &app) : FApp(app) {}

private slots:
    void init()
    {
        FShown.clear();
        FApp.ShowError = [this](const QString &text) { FShown << text; };
    }
    void errorTextIsShownAndProgramGoesOn();
    void errorInATimerHandlerIsShown();
    void unknownErrorIsShownToo();

private:
    TErrorReportingApplication &FApp;
    QStringList FShown;
};

void TestErrorReporting::errorTextIsShownAndProgramGoesOn()
{
    TFailingReceiver receiver;
    QEvent first(QEvent::User);
    QEvent second(QEvent::User);
    QVERIFY(!QCoreApplication::sendEvent(&receiver, &first));
    QVERIFY(!QCoreApplication::sendEvent(&receiver, &second));
    QCOMPARE(receiver.eventsSeen, 2);
    QCOMPARE(FShown, (QStringList{QStringLiteral("Die Datei ist keine Starterliste."),
                                  QStringLiteral("Die Datei ist keine Starterliste.")}));
}

void TestErrorReporting::errorInATimerHandlerIsShown()
{
    bool ranAfter = false;
    QTimer::singleShot(0, &FApp, [] { throw std::invalid_argument("Ungültige Zahl"); });
    QTimer::singleShot(5, &FApp, [&ranAfter] { ranAfter = true; });
    QTRY_VERIFY(ranAfter);
    QCOMPARE(FShown, QStringList{QStringLiteral("Ungültige Zahl")});
}

void TestErrorReporting::unknownErrorIsShownToo()
{
    QTimer::singleShot(0, &FApp, [] { throw 42; });
    QTRY_COMPARE(FShown.size(), 1);
    QVERIFY(!FShown.first().isEmpty());
}

int main(int argc, char **argv)
{
    TErrorReportingApplication app(argc, argv);
    TestErrorReporting test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_errorreporting.moc"
