#pragma once

#include "ClubServerConfig.h"
#include "PostgresRunner.h"
#include "ServerConnection.h"
#include "ServerSchema.h"

#include <QString>
#include <QStringList>

// One PostgreSQL server per test or benchmark program, with the club's schema in a database of its
// own and the logins of two stations and a results office.
struct ClubServerFixture
{
    PostgresRunner server;
    QString database = QStringLiteral("verein");

    static QString passwordOf(const QString &login) { return login + QStringLiteral("-geheim"); }

    TClubServerConfig config(const QString &login) const
    {
        TClubServerConfig config;
        config.host = server.host();
        config.port = server.port();
        config.database = database;
        config.user = login;
        config.tls = TClubServerConfig::Tls::IfOffered;
        return config;
    }

    TClubServerConfig adminConfig() const
    {
        return config(QString::fromLatin1(PostgresRunner::kAdmin));
    }

    // Starts the server and sets up the database at version, with the two stations' and the
    // office's logins and the further station logins given; false with the reason in *error.
    bool start(QString *error, int version = ServerSchema::kVersion,
               const QStringList &moreStations = {})
    {
        if (!server.start() || !server.createDatabase(database)) {
            *error = server.errorString();
            return false;
        }
        TServerConnection admin(adminConfig(), QString::fromLatin1(PostgresRunner::kAdminPassword));
        if (!admin.open()) {
            *error = admin.errorString();
            return false;
        }
        if (!ServerSchema::upgrade(admin.db(), error, version))
            return false;
        for (const QString &login :
             QStringList{QStringLiteral("bahn_a"), QStringLiteral("bahn_b")} + moreStations) {
            if (!ServerSchema::addLogin(admin.db(), login, passwordOf(login),
                                        ServerSchema::Login::Station, error))
                return false;
        }
        return ServerSchema::addLogin(admin.db(), QStringLiteral("buero"),
                                      passwordOf(QStringLiteral("buero")),
                                      ServerSchema::Login::Reader, error);
    }
};
