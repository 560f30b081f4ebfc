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
