#include "ClubServerConfig.h"

#include <QStringList>
#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

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
    // Qt passes these on to libpq. Keepalives find a cut connection within seconds instead of
    // the system's two hours; tcp_user_timeout gives up on sent data nobody acknowledges (a
    // pulled cable) after 10 s instead of a quarter of an hour.
    return QStringList{QStringLiteral("sslmode=%1").arg(tlsName(tls)),
                       QStringLiteral("connect_timeout=%1").arg(connectTimeoutS),
                       QStringLiteral("application_name=Talvenbahn"),
                       QStringLiteral("keepalives=1"),
                       QStringLiteral("keepalives_idle=5"),
                       QStringLiteral("keepalives_interval=2"),
                       QStringLiteral("keepalives_count=3"),
                       QStringLiteral("tcp_user_timeout=10000")}
        .join(QLatin1Char(';'));
}

QString TClubServerConfig::describe() const
{
    return QStringLiteral("%1:%2/%3").arg(host).arg(port).arg(database);
}

QString TClubServerConfig::stationLabel() const
{
    const QString named = cleanLabel(station);
    return named.isEmpty() ? cleanLabel(QSysInfo::machineHostName()) : named;
}

QString TClubServerConfig::cleanLabel(const QString &text)
{
    QString clean;
    for (const QChar c : text) {
        if (c == u'(' || c == u')')
            continue;
        clean += c.category() == QChar::Other_Control ? QChar(u' ') : c;
    }
    clean = clean.simplified().left(kLabelLength);
    if (!clean.isEmpty() && clean.back().isHighSurrogate())
        clean.chop(1);
    return clean.trimmed();
}

QString TClubServerConfig::defaultDatabase()
{
    return QStringLiteral("talvenbahn");
}

QString TClubServerConfig::defaultUser()
{
    if (const passwd *entry = getpwuid(geteuid()); entry && entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}
