#include "PasswordKeeper.h"

#include <QPointer>

#include <qt6keychain/keychain.h>

QString TPasswordKeeper::KeyOf(const TClubServerConfig &config)
{
    return QStringLiteral("%1@%2:%3/%4")
        .arg(config.user.trimmed(), config.host.trimmed())
        .arg(config.port)
        .arg(config.database.trimmed());
}

void TKeyringPasswords::Read(const QString &key, QObject *context,
                             std::function<void(Found found, const QString &password)> done)
{
    auto *job = new QKeychain::ReadPasswordJob(kService);
    job->setAutoDelete(true);
    // Never a plain file in place of the keyring.
    job->setInsecureFallback(false);
    job->setKey(key);
    QObject::connect(job, &QKeychain::Job::finished, context,
                     [done = std::move(done)](QKeychain::Job *finished) {
                         const auto *read = static_cast<QKeychain::ReadPasswordJob *>(finished);
                         switch (read->error()) {
                         case QKeychain::NoError:
                             done(Found::Yes, read->textData());
                             return;
                         case QKeychain::EntryNotFound:
                             done(Found::No, QString());
                             return;
                         default:
                             done(Found::NoKeyring, QString());
                             return;
                         }
                     });
    job->start();
}

void TKeyringPasswords::Write(const QString &key, const QString &password, QObject *context,
                              std::function<void(bool kept)> done)
{
    auto *job = new QKeychain::WritePasswordJob(kService);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(key);
    job->setTextData(password);
    QObject::connect(job, &QKeychain::Job::finished, context,
                     [done = std::move(done)](QKeychain::Job *finished) {
                         done(finished->error() == QKeychain::NoError);
                     });
    job->start();
}
