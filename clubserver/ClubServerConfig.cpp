#include "ClubServerConfig.h"

#include <QStringList>

bool TClubServerConfig::isSet() const
{
    return !host.trimmed().isEmpty() && !database.trimmed().isEmpty() && !user.trimmed().isEmpty();
}

QString TClubServerConfig::tlsName(Tls tls)
{
    switch (tls) {
    case Tls::Off:
        return QStringLiteral("disable");
    case Tls::IfOffered:
        return QStringLiteral("prefer");
    case Tls::Required:
        return QStringLiteral("require");
    case Tls::VerifyFull:
        return QStringLiteral("verify-full");
    }
    return QStringLiteral("prefer");
}

TClubServerConfig::Tls TClubServerConfig::tlsFromName(const QString &name)
{
    for (Tls tls : {Tls::Off, Tls::IfOffered, Tls::Required, Tls::VerifyFull}) {
        if (tlsName(tls) == name)
            return tls;
    }
    return Tls::IfOffered;
}

QString TClubServerConfig::tlsLabel(Tls tls)
{
    switch (tls) {
    case Tls::Off:
        return QStringLiteral("aus");
    case Tls::IfOffered:
        return QStringLiteral("wenn angeboten");
    case Tls::Required:
        return QStringLiteral("verlangt");
    case Tls::VerifyFull:
        return QStringLiteral("verlangt, Zertifikat geprüft");
    }
    return {};
}

QString TClubServerConfig::connectOptions(int connectTimeoutS) const
{
    // Qt passes these on to libpq; keepalives find a cut connection within seconds instead of
    // the system's two hours.
    return QStringList{QStringLiteral("sslmode=%1").arg(tlsName(tls)),
                       QStringLiteral("connect_timeout=%1").arg(connectTimeoutS),
                       QStringLiteral("application_name=Talvenbahn"),
                       QStringLiteral("keepalives=1"),
                       QStringLiteral("keepalives_idle=5"),
                       QStringLiteral("keepalives_interval=2"),
                       QStringLiteral("keepalives_count=3")}
        .join(QLatin1Char(';'));
}

QString TClubServerConfig::describe() const
{
    return QStringLiteral("%1:%2/%3").arg(host).arg(port).arg(database);
}
