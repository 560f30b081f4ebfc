#pragma once

#include <QString>

#include <algorithm>

// Where the club's PostgreSQL server is and how to reach it. The password is never part of it:
// it lives in the desktop's keyring or is asked for at start.
struct TClubServerConfig
{
    // How the connection is protected, as libpq's sslmode names them.
    enum class Tls { Off, IfOffered, Required, VerifyFull };

    QString host;
    int port = 5432;
    QString database;
    QString user;
    Tls tls = Tls::IfOffered;
    // A results office only reads: it sends nothing and needs no station login.
    bool readOnly = false;
    // The station's name on the server as the operator typed it; empty: the machine's name.
    QString station;

    // The label the station registers with: its name (or the machine's) without brackets and
    // control characters, at most kLabelLength characters (the server refuses others).
    QString stationLabel() const;
    static QString cleanLabel(const QString &text);
    static constexpr int kLabelLength = 64;
    // What an empty "Datenbank" and "Benutzer" mean: the database --server-setup makes, and
    // the login named like the user of this computer (as PostgreSQL's own tools take it).
    static QString defaultDatabase();
    static QString defaultUser();

    // A host, a database and a user are set: the station uses a club server.
    bool isSet() const;

    // "disable", "prefer", "require", "verify-full".
    static QString tlsName(Tls tls);
    static Tls tlsFromName(const QString &name);
    // "aus", "wenn angeboten", "verlangt", "verlangt, Zertifikat geprüft".
    static QString tlsLabel(Tls tls);

    // The options for Qt's PostgreSQL driver; a connection attempt gives up after
    // connectTimeoutS seconds.
    QString connectOptions(int connectTimeoutS) const;

    // "host:port/database" for messages.
    QString describe() const;

    bool operator==(const TClubServerConfig &) const = default;
};

// How a thread that talks to the club server tries again: one attempt gives up after
// connectTimeoutS; after a failure it waits retryMs, doubled each time up to maxRetryMs.
struct TReconnectTiming
{
    int connectTimeoutS = 3;
    int retryMs = 1000;
    int maxRetryMs = 8000;

    int nextRetryMs(int currentMs) const { return std::min(currentMs * 2, maxRetryMs); }
};
