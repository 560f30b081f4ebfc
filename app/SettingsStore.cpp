#include "SettingsStore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <utility>

namespace {

// QSettings hands back a text with unquoted commas as a list.
QString textOf(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void readInt(const QSettings &ini, const QString &key, std::optional<int> &target)
{
    const QVariant value = ini.value(key);
    if (!value.isValid() || value.metaType().id() == QMetaType::QStringList)
        return;
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    if (ok)
        target = number;
}

void readText(const QSettings &ini, const QString &key, std::optional<QString> &target)
{
    if (ini.contains(key))
        target = textOf(ini.value(key));
}

void writeInt(QSettings &ini, const QString &key, const std::optional<int> &value)
{
    if (value)
        ini.setValue(key, *value);
}

void writeText(QSettings &ini, const QString &key, const std::optional<QString> &value)
{
    if (value)
        ini.setValue(key, *value);
}

} // namespace

TSettingsStore::TSettingsStore(QString filePath) : m_filePath(std::move(filePath)) {}

QString TSettingsStore::DefaultFilePath()
{
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (name.isEmpty())
        name = QStringLiteral("Talvenbahn");
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + name + QStringLiteral(".ini");
}

TStoredSettings TSettingsStore::Read() const
{
    TStoredSettings s;
    if (!QFileInfo::exists(m_filePath))
        return s;
    const QSettings ini(m_filePath, QSettings::IniFormat);
    // Each value on its own: one that is missing or unreadable takes the window's default and
    // leaves the others as the file holds them (a file written by hand may hold a few keys).
    readInt(ini, QStringLiteral("Left"), s.Left);
    readInt(ini, QStringLiteral("Top"), s.Top);
    readInt(ini, QStringLiteral("Width"), s.Width);
    readInt(ini, QStringLiteral("Height"), s.Height);
    readInt(ini, QStringLiteral("Acc"), s.Acc);
    readInt(ini, QStringLiteral("Dist"), s.Dist);
    readInt(ini, QStringLiteral("Autos"), s.Autos);
    readInt(ini, QStringLiteral("Runden"), s.Runden);
    readInt(ini, QStringLiteral("Time"), s.Time);
    readText(ini, QStringLiteral("Title"), s.Title);
    readText(ini, QStringLiteral("TimeWarn"), s.TimeWarn);
    readInt(ini, QStringLiteral("MinLap"), s.MinLap);
    readInt(ini, QStringLiteral("PassLog"), s.PassLog);
    readInt(ini, QStringLiteral("Zoom"), s.Zoom);
    readInt(ini, QStringLiteral("LiveOn"), s.LiveOn);
    readInt(ini, QStringLiteral("LivePort"), s.LivePort);
    readInt(ini, QStringLiteral("Speech"), s.Speech);
    readInt(ini, QStringLiteral("Finish"), s.Finish);
    readText(ini, QStringLiteral("BoardScreen"), s.BoardScreen);
    return s;
}

bool TSettingsStore::Write(const TStoredSettings &s) const
{
    QSettings ini(m_filePath, QSettings::IniFormat);
    if (!ini.isWritable())
        return false;
    writeInt(ini, QStringLiteral("Left"), s.Left);
    writeInt(ini, QStringLiteral("Top"), s.Top);
    writeInt(ini, QStringLiteral("Width"), s.Width);
    writeInt(ini, QStringLiteral("Height"), s.Height);
    writeInt(ini, QStringLiteral("Acc"), s.Acc);
    writeInt(ini, QStringLiteral("Dist"), s.Dist);
    writeInt(ini, QStringLiteral("Autos"), s.Autos);
    writeInt(ini, QStringLiteral("Runden"), s.Runden);
    writeInt(ini, QStringLiteral("Time"), s.Time);
    writeText(ini, QStringLiteral("Title"), s.Title);
    writeText(ini, QStringLiteral("TimeWarn"), s.TimeWarn);
    writeInt(ini, QStringLiteral("MinLap"), s.MinLap);
    writeInt(ini, QStringLiteral("PassLog"), s.PassLog);
    writeInt(ini, QStringLiteral("Zoom"), s.Zoom);
    writeInt(ini, QStringLiteral("LiveOn"), s.LiveOn);
    writeInt(ini, QStringLiteral("LivePort"), s.LivePort);
    writeInt(ini, QStringLiteral("Speech"), s.Speech);
    writeInt(ini, QStringLiteral("Finish"), s.Finish);
    writeText(ini, QStringLiteral("BoardScreen"), s.BoardScreen);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

TClubServerConfig TSettingsStore::ReadClubServer() const
{
    TClubServerConfig config;
    if (!QFileInfo::exists(m_filePath))
        return config;
    const QSettings ini(m_filePath, QSettings::IniFormat);
    std::optional<QString> text;
    readText(ini, QStringLiteral("Vereinsserver/Host"), text);
    config.host = text.value_or(QString()).trimmed();
    std::optional<int> port;
    readInt(ini, QStringLiteral("Vereinsserver/Port"), port);
    if (port && *port > 0 && *port <= 65535)
        config.port = *port;
    text.reset();
    readText(ini, QStringLiteral("Vereinsserver/Datenbank"), text);
    config.database = text.value_or(QString()).trimmed();
    text.reset();
    readText(ini, QStringLiteral("Vereinsserver/Benutzer"), text);
    config.user = text.value_or(QString()).trimmed();
    text.reset();
    readText(ini, QStringLiteral("Vereinsserver/TLS"), text);
    if (text)
        config.tls = TClubServerConfig::tlsFromName(text->trimmed());
    std::optional<int> readOnly;
    readInt(ini, QStringLiteral("Vereinsserver/NurLesen"), readOnly);
    config.readOnly = readOnly.value_or(0) != 0;
    text.reset();
    readText(ini, QStringLiteral("Vereinsserver/Station"), text);
    config.station = text.value_or(QString()).trimmed();
    return config;
}

bool TSettingsStore::WriteClubServer(const TClubServerConfig &config) const
{
    QSettings ini(m_filePath, QSettings::IniFormat);
    if (!ini.isWritable())
        return false;
    ini.beginGroup(QStringLiteral("Vereinsserver"));
    ini.setValue(QStringLiteral("Host"), config.host.trimmed());
    ini.setValue(QStringLiteral("Port"), config.port);
    ini.setValue(QStringLiteral("Datenbank"), config.database.trimmed());
    ini.setValue(QStringLiteral("Benutzer"), config.user.trimmed());
    ini.setValue(QStringLiteral("TLS"), TClubServerConfig::tlsName(config.tls));
    ini.setValue(QStringLiteral("NurLesen"), config.readOnly ? 1 : 0);
    ini.setValue(QStringLiteral("Station"), config.station.trimmed());
    ini.endGroup();
    ini.sync();
    return ini.status() == QSettings::NoError;
}
