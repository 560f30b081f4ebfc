#include "CommandLine.h"

#include "FormMain.h"
#include "SPHTMLHelp.h"
#include "StarterListError.h"
#include "StarterListReader.h"
#include "XlsSheetReader.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <cstdio>

namespace {

// The options a Qt application object takes from the command line, with one dash or two.
bool isApplicationOption(const QString &argument)
{
    static const QStringList kNames{
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowtitle"),
        QStringLiteral("qwindowicon"),     QStringLiteral("reverse"),
        QStringLiteral("session"),         QStringLiteral("style"),
        QStringLiteral("stylesheet"),      QStringLiteral("widgetcount"),
        QStringLiteral("display"),         QStringLiteral("geometry"),
        QStringLiteral("title"),           QStringLiteral("name"),
        QStringLiteral("dialogs"),         QStringLiteral("nograb"),
        QStringLiteral("dograb"),          QStringLiteral("sync"),
        QStringLiteral("visual"),          QStringLiteral("qmljsdebugger"),
        QStringLiteral("fontengine"),      QStringLiteral("testability")};
    if (!argument.startsWith(u'-'))
        return false;
    QString name = argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1);
    name = name.section(u'=', 0, 0);
    return kNames.contains(name);
}

constexpr int kExitOk = 0;
constexpr int kExitMissing = 1;
constexpr int kExitUsage = 2;
constexpr int kGoOn = -1;
// How often and how long the starter list given at start waits for the window to show.
constexpr int kExposeCheckMs = 50;
constexpr int kExposeWaitMs = 3000;

// A compiled help file starts with this signature.
const QByteArray kHelpSignature = QByteArrayLiteral("ITSF");

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

bool isHelpFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) && file.read(kHelpSignature.size()) == kHelpSignature;
}

QString found(bool yes)
{
    return yes ? QStringLiteral("gefunden") : QStringLiteral("FEHLT");
}

// The options of --server-setup that take a value.
const QStringList kServerValueOptions{QStringLiteral("--host"),     QStringLiteral("--port"),
                                      QStringLiteral("--database"), QStringLiteral("--user"),
                                      QStringLiteral("--station"),  QStringLiteral("--office")};

bool takeServerValue(const QString &name, const QString &value, TServerSetupOptions &options)
{
    if (name == u"--port") {
        bool ok = false;
        const int port = value.toInt(&ok);
        if (!ok || port < 1 || port > 65535)
            return false;
        options.port = port;
        return true;
    }
    if (value.trimmed().isEmpty())
        return false;
    if (name == u"--host")
        options.host = value.trimmed();
    else if (name == u"--database")
        options.database = value.trimmed();
    else if (name == u"--user")
        options.user = value.trimmed();
    else if (name == u"--station")
        options.stations << value.trimmed();
    else
        options.offices << value.trimmed();
    return true;
}

} // namespace

TCommandLine ParseCommandLine(const QStringList &arguments)
{
    bool help = false;
    bool version = false;
    bool check = false;
    bool serverSetup = false;
    bool optionsEnded = false;
    TCommandLine line;
    QStringList files;
    QString serverOption; // the first option that belongs to --server-setup
    const auto mistake = [&line](const QString &text) {
        if (line.error.isEmpty())
            line.error = text;
    };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!optionsEnded && isApplicationOption(argument))
            line.applicationOptions = true;
        const QString name = argument.section(u'=', 0, 0);
        if (optionsEnded || !argument.startsWith(u'-') || argument == u"-") {
            files << argument;
        } else if (argument == u"--") {
            optionsEnded = true;
        } else if (argument == u"-h" || argument == u"--help") {
            help = true;
        } else if (argument == u"-v" || argument == u"--version") {
            version = true;
        } else if (argument == u"--check-install") {
            check = true;
        } else if (argument == u"--server-setup") {
            serverSetup = true;
        } else if (kServerValueOptions.contains(name)) {
            // "--host name" or "--host=name".
            QString value;
            if (argument.contains(u'='))
                value = argument.section(u'=', 1);
            else if (i + 1 < arguments.size())
                value = arguments.at(++i);
            else {
                mistake(QStringLiteral("Die Option „%1“ braucht einen Wert.").arg(name));
                continue;
            }
            if (serverOption.isEmpty())
                serverOption = name;
            if (!takeServerValue(name, value, line.serverSetup))
                mistake(QStringLiteral("„%1“ ist kein gültiger Wert für „%2“.").arg(value, name));
        } else {
            mistake(QStringLiteral("Unbekannte Option „%1“.").arg(argument));
        }
    }
    if (!serverOption.isEmpty() && !serverSetup)
        mistake(QStringLiteral("Die Option „%1“ gilt nur mit --server-setup.").arg(serverOption));
    if (serverSetup && !files.isEmpty())
        mistake(QStringLiteral("Mit --server-setup wird keine Starterliste gelesen („%1“).")
                    .arg(files.first()));
    if (files.size() > 1)
        mistake(QStringLiteral("Beim Start kann nur eine Starterliste gelesen werden, "
                               "nicht %1.")
                    .arg(files.size()));
    if (!files.isEmpty())
        line.starterList = files.first();

    if (help)
        line.action = TCommandLine::Action::Help;
    else if (version)
        line.action = TCommandLine::Action::Version;
    else if (check)
        line.action = TCommandLine::Action::CheckInstall;
    else if (!line.error.isEmpty())
        line.action = TCommandLine::Action::Error;
    else if (serverSetup)
        line.action = TCommandLine::Action::ServerSetup;
    return line;
}

QString CommandLineUsage()
{
    return QStringLiteral(
        "Aufruf: Talvenbahn [Optionen] [Starterliste]\n"
        "\n"
        "Zeitnahme für Rennen und Trainingsläufe mit bis zu 12 Autos.\n"
        "Eine angegebene Starterliste (.xls, .xlsx, .ods oder .csv) wird beim Start eingelesen.\n"
        "\n"
        "Optionen:\n"
        "  -h, --help         zeigt diese Hilfe und beendet das Programm\n"
        "  -v, --version      zeigt die Version und beendet das Programm\n"
        "  --check-install    prüft, ob die Hilfedatei und das Hilfsprogramm für .xls-Dateien\n"
        "                     gefunden werden; eine angegebene Starterliste wird zur Probe\n"
        "                     gelesen\n"
        "  --                 alles Weitere ist ein Dateiname, auch wenn es mit - beginnt\n"
        "\n"
        "Vereinsserver (PostgreSQL):\n"
        "  --server-setup     richtet als Verwalter das Schema des Vereinsservers ein oder\n"
        "                     bringt es auf den neuesten Stand; das Passwort kommt aus\n"
        "                     PGPASSWORD oder wird im Terminal erfragt\n"
        "  --host RECHNER     Rechner des Servers (sonst der eingestellte oder localhost)\n"
        "  --port PORT        Port des Servers (sonst der eingestellte oder 5432)\n"
        "  --database NAME    Datenbank (sonst die eingestellte oder talvenbahn)\n"
        "  --user NAME        Verwalter, der Schemas und Rollen anlegen darf (sonst der\n"
        "                     angemeldete Benutzer)\n"
        "  --station NAME     legt zusätzlich die Anmeldung einer Station an\n"
        "  --office NAME      legt zusätzlich die Anmeldung eines Ergebnisbüros an (nur lesen);\n"
        "                     das Passwort neuer Anmeldungen wird zweimal erfragt oder kommt\n"
        "                     aus TALVENBAHN_LOGIN_PASSWORD\n");
}

QString VersionText()
{
    return QStringLiteral("Talvenbahn %1\n").arg(QStringLiteral(TALVENBAHN_VERSION));
}

int RunCommandLineWithoutWindow(const TCommandLine &line, int &argc, char **argv)
{
    switch (line.action) {
    case TCommandLine::Action::Help:
        print(stdout, CommandLineUsage());
        return kExitOk;
    case TCommandLine::Action::Version:
        print(stdout, VersionText());
        return kExitOk;
    case TCommandLine::Action::CheckInstall: {
        // The readers and the helper process want an application object, but no window.
        QCoreApplication core(argc, argv);
        return CheckInstall(line.starterList);
    }
    case TCommandLine::Action::ServerSetup: {
        // Qt's database drivers are plugins, found through an application object.
        QCoreApplication core(argc, argv);
        return RunServerSetup(line.serverSetup);
    }
    case TCommandLine::Action::Run:
    case TCommandLine::Action::Error:
        break;
    }
    return kGoOn;
}

int ReportCommandLineError(const TCommandLine &line)
{
    print(stderr, QStringLiteral("Talvenbahn: %1\nMit --help werden die Optionen gezeigt.\n")
                      .arg(line.error));
    return kExitUsage;
}

int CheckInstall(const QString &starterList)
{
    const QString helpFile = HelpFileForExecutable(QCoreApplication::applicationFilePath());
    const bool helpFound = isHelpFile(helpFile);
    const QString helper = XlsSheetReader::helperPath();
    const QFileInfo helperInfo(helper);
    const bool helperFound = helperInfo.isFile() && helperInfo.isExecutable();
    QString report =
        QStringLiteral("Hilfedatei: %1 (%2)\n").arg(helpFile, found(helpFound)) +
        QStringLiteral("Hilfsprogramm für .xls-Dateien: %1 (%2)\n").arg(helper, found(helperFound));
    bool listRead = true;
    if (!starterList.isEmpty()) {
        StarterListReader reader;
        listRead = reader.read(starterList);
        report +=
            listRead
                ? QStringLiteral("Starterliste %1: %2 Starter gelesen\n")
                      .arg(starterList)
                      .arg(reader.rows().size())
                : QStringLiteral("Starterliste %1: %2\n").arg(starterList, reader.errorString());
    }
    print(stdout, report);
    return helpFound && helperFound && listRead ? kExitOk : kExitMissing;
}

void ImportStarterListAtStart(TFormMain &form, const QString &fileName,
                              std::function<void(const QString &)> showError)
{
    // The import resizes the window to its rows. Before the window manager has framed and
    // placed the window, that resize puts it in the screen's corner with its title bar out of
    // sight, so the import waits until the window is on the screen (or gives up waiting).
    auto *wait = new QTimer(&form);
    wait->setInterval(kExposeCheckMs);
    QObject::connect(
        wait, &QTimer::timeout, &form,
        [&form, wait, fileName, showError = std::move(showError),
         deadline = QDeadlineTimer(kExposeWaitMs)] {
            const QWindow *window = form.windowHandle();
            if (!(window && window->isExposed()) && !deadline.hasExpired())
                return;
            wait->deleteLater();
            wait->stop();
            try {
                form.ReadStarterList(fileName);
                form.sbExcel->setEnabled(true);
                form.sbWeb->setEnabled(true);
            } catch (const EStarterListError &error) {
                showError(QStringLiteral("Die Starterliste „%1“ kann nicht gelesen werden.\n%2")
                              .arg(fileName, QString::fromLocal8Bit(error.what())));
            }
        });
    wait->start();
}
