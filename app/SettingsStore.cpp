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

bool readInt(const QSettings &ini, const QString &key, std::optional<int> &target)
{
    const QVariant value = ini.value(key);
    if (!value.isValid() || value.metaType().id() == QMetaType::QStringList)
        return false;
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    if (!ok)
        return false;
    target = number;
    return true;
}

QString readText(const QSettings &ini, const QString &key)
{
    return textOf(ini.value(key));
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
    std::optional<int> *const integers[] = {&s.Left, &s.Top,   &s.Width,  &s.Height, &s.Acc,
                                            &s.Dist, &s.Autos, &s.Runden, &s.Time};
    static const char *const kIntegerKeys[] = {"Left", "Top",   "Width",  "Height", "Acc",
                                               "Dist", "Autos", "Runden", "Time"};
    for (size_t i = 0; i < std::size(integers); ++i) {
        if (!readInt(ini, QLatin1String(kIntegerKeys[i]), *integers[i]))
            return s;
    }
    s.Title = readText(ini, QStringLiteral("Title"));
    s.TimeWarn = readText(ini, QStringLiteral("TimeWarn"));
    // Added later than the values above: each on its own, a file without them keeps the rest.
    readInt(ini, QStringLiteral("MinLap"), s.MinLap);
    readInt(ini, QStringLiteral("PassLog"), s.PassLog);
    readInt(ini, QStringLiteral("Zoom"), s.Zoom);
    readInt(ini, QStringLiteral("LiveOn"), s.LiveOn);
    readInt(ini, QStringLiteral("LivePort"), s.LivePort);
    readInt(ini, QStringLiteral("Speech"), s.Speech);
    readInt(ini, QStringLiteral("Finish"), s.Finish);
    if (ini.contains(QStringLiteral("BoardScreen")))
        s.BoardScreen = readText(ini, QStringLiteral("BoardScreen"));
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
