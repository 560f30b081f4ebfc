#pragma once

#include "ClubServerConfig.h"

#include <QString>

#include <optional>

// The values the window keeps between runs. An absent value means "keep the window's own".
struct TStoredSettings
{
    std::optional<int> Left;
    std::optional<int> Top;
    std::optional<int> Width;
    std::optional<int> Height;
    std::optional<int> Acc;
    std::optional<int> Dist; // lap length in metres
    std::optional<int> Autos;
    std::optional<int> Runden;
    std::optional<int> Time; // race duration in seconds
    std::optional<QString> Title;
    std::optional<QString> TimeWarn;
    std::optional<int> MinLap;          // the minimum lap guard in seconds; 0: off
    std::optional<int> PassLog;         // 1 when the pass log is shown below the standings
    std::optional<int> Zoom;            // scale of the standings in percent
    std::optional<int> LiveOn;          // 1 when the live page is served
    std::optional<int> LivePort;        // its port
    std::optional<int> Speech;          // 1 when presses are announced
    std::optional<int> Finish;          // how the race ends (index of the "Rennende" choice)
    std::optional<QString> BoardScreen; // name of the screen for the spectator board
};

// One INI file per user that holds the window's geometry and the race settings.
class TSettingsStore
{
public:
    explicit TSettingsStore(QString filePath);

    // The file next to the user's other configuration files, named after the executable:
    // $XDG_CONFIG_HOME/<executable>.ini (usually ~/.config/Talvenbahn.ini).
    static QString DefaultFilePath();

    const QString &FilePath() const { return m_filePath; }

    // Reads each value on its own: one that is missing, or an integer that is not an integer,
    // stays absent and the others are read all the same. A missing file gives no values at
    // all. Never fails.
    TStoredSettings Read() const;

    // Writes every present value; returns false when the file could not be written.
    bool Write(const TStoredSettings &settings) const;

    // The club server, in a group of its own ("Vereinsserver"); no host means no server. Its
    // password is never part of the file.
    TClubServerConfig ReadClubServer() const;
    bool WriteClubServer(const TClubServerConfig &config) const;

private:
    QString m_filePath;
};
