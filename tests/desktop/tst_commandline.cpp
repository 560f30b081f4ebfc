#include "CommandLine.h"
#include "WindowUnderTest.h"

#include <QFile>
#include <QProcess>
#include <QToolButton>

Q_DECLARE_METATYPE(TCommandLine::Action)

// The program's command line: what each set of arguments asks for, and the starter list given
// there, imported into the real window once it runs.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void arguments_data();
    void arguments();
    void usageNamesEveryOption();
    void mistakeIsReportedWithoutADisplay();
    void listIsImportedOnceTheWindowRuns();
    void listWaitsUntilTheWindowIsOnTheScreen();
    void unreadableListIsShownAndChangesNothing();

private:
    static QString writeList(const TWindowUnderTest &w);

    QStringList m_shown;
};

void TestCommandLine::init()
{
    QLocale::setDefault(QLocale::c());
    m_shown.clear();
}

void TestCommandLine::arguments_data()
{
    using Action = TCommandLine::Action;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("starterList");
    QTest::addColumn<bool>("error");

    QTest::newRow("nothing") << QStringList{} << Action::Run << "" << false;
    QTest::newRow("a list") << QStringList{"liste.xls"} << Action::Run << "liste.xls" << false;
    QTest::newRow("help") << QStringList{"--help"} << Action::Help << "" << false;
    QTest::newRow("short help") << QStringList{"-h"} << Action::Help << "" << false;
    QTest::newRow("version") << QStringList{"--version"} << Action::Version << "" << false;
    QTest::newRow("short version") << QStringList{"-v"} << Action::Version << "" << false;
    QTest::newRow("help wins over version")
        << QStringList{"--version", "--help"} << Action::Help << "" << false;
    QTest::newRow("help wins over a mistake")
        << QStringList{"--farbe", "-h"} << Action::Help << "" << true;
    QTest::newRow("check with a list")
        << QStringList{"--check-install", "a.xls"} << Action::CheckInstall << "a.xls" << false;
    QTest::newRow("unknown option") << QStringList{"--farbe"} << Action::Error << "" << true;
    QTest::newRow("two lists") << QStringList{"a.xls", "b.xls"} << Action::Error << "a.xls" << true;
    QTest::newRow("dashes end the options")
        << QStringList{"--", "-liste.csv"} << Action::Run << "-liste.csv" << false;
    QTest::newRow("a lone dash is a name") << QStringList{"-"} << Action::Run << "-" << false;
    QTest::newRow("server set-up")
        << QStringList{"--server-setup", "--port=5433", "--station", "bahn_a"}
        << Action::ServerSetup << "" << false;
    QTest::newRow("server option alone")
        << QStringList{"--host", "verein.example"} << Action::Error << "" << true;
    QTest::newRow("port not a number")
        << QStringList{"--server-setup", "--port", "fünf"} << Action::Error << "" << true;
    QTest::newRow("login without its name")
        << QStringList{"--server-setup", "--office"} << Action::Error << "" << true;
    QTest::newRow("spaces and umlauts")
        << QStringList{"Läufe am Sonntag.ods"} << Action::Run << "Läufe am Sonntag.ods" << false;
}

void TestCommandLine::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(TCommandLine::Action, action);
    QFETCH(QString, starterList);
    QFETCH(bool, error);
    arguments.prepend(QStringLiteral("/usr/bin/Talvenbahn"));
    const TCommandLine line = ParseCommandLine(arguments);
    QCOMPARE(line.action, action);
    QCOMPARE(line.starterList, starterList);
    QCOMPARE(!line.error.isEmpty(), error);
}

void TestCommandLine::usageNamesEveryOption()
{
    const QString usage = CommandLineUsage();
    for (const char *option : {"--help", "--version", "--check-install", "Starterliste",
                               "--server-setup", "--station", "--office", "PGPASSWORD"})
        QVERIFY2(usage.contains(QLatin1String(option)), option);
    QVERIFY(VersionText().startsWith(QStringLiteral("Talvenbahn ")));
    // The window says "Autos"; so does its usage.
    QVERIFY(usage.contains(QStringLiteral("12 Autos")));
    QVERIFY(!usage.contains(QStringLiteral("Wagen")));
}

void TestCommandLine::mistakeIsReportedWithoutADisplay()
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TALVENBAHN_PROGRAM), {QStringLiteral("--bogus")});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 2);
    const QString said = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(said.startsWith(QStringLiteral("Talvenbahn: Unbekannte Option \u201E--bogus\u201C.")),
             qPrintable(said));
    // An argument the application object may take is left to it.
    QVERIFY(ParseCommandLine({QStringLiteral("Talvenbahn"), QStringLiteral("-style=fusion")})
                .applicationOptions);
    QVERIFY(!ParseCommandLine({QStringLiteral("Talvenbahn"), QStringLiteral("--bogus")})
                 .applicationOptions);
}

QString TestCommandLine::writeList(const TWindowUnderTest &w)
{
    const QString list = w.folder.filePath(QStringLiteral("Läufe.csv"));
    QFile file(list);
    if (!file.open(QIODevice::WriteOnly) || file.write("7;Jürgen Groß\n12;Anna\n") < 0)
        qFatal("cannot write the starter list");
    return list;
}

void TestCommandLine::listIsImportedOnceTheWindowRuns()
{
    TWindowUnderTest w;
    const QString list = writeList(w);
    ImportStarterListAtStart(*w.window, list, [this](const QString &text) { m_shown << text; });
    // Not before the window runs, so that the window is on the screen first.
    QCOMPARE(w.Cell(2, 1), QString());
    QTRY_COMPARE(w.Cell(2, 1), QStringLiteral("7"));
    QCOMPARE(w.Cell(3, 1), QStringLiteral("Jürgen Groß"));
    QCOMPARE(w.Cell(3, 2), QStringLiteral("Anna"));
    QVERIFY(w.window->sbExcel->isEnabled());
    QVERIFY(w.window->sbWeb->isEnabled());
    QVERIFY(m_shown.isEmpty());
}

void TestCommandLine::listWaitsUntilTheWindowIsOnTheScreen()
{
    // Resized before the window manager has placed it, the window lands in the screen's corner.
    TWindowUnderTest w;
    w.window->hide();
    ImportStarterListAtStart(*w.window, writeList(w),
                             [this](const QString &text) { m_shown << text; });
    QTest::qWait(300);
    QCOMPARE(w.Cell(2, 1), QString());
    w.window->show();
    QTRY_COMPARE(w.Cell(2, 1), QStringLiteral("7"));
    QVERIFY(m_shown.isEmpty());
}

void TestCommandLine::unreadableListIsShownAndChangesNothing()
{
    TWindowUnderTest w;
    const int rows = w.window->SortGrid1->RowCount();
    const QString list = w.folder.filePath(QStringLiteral("fehlt.xls"));
    ImportStarterListAtStart(*w.window, list, [this](const QString &text) { m_shown << text; });
    QTRY_COMPARE(m_shown.size(), 1);
    QVERIFY2(m_shown.first().contains(list), qPrintable(m_shown.first()));
    QCOMPARE(w.window->SortGrid1->RowCount(), rows);
    QVERIFY(!w.window->sbExcel->isEnabled());
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
