#pragma once

#include "ClubServerConfig.h"

#include <QObject>
#include <QString>

#include <functional>

// Where the club server's password is kept between runs. Every answer comes later, through the
// event loop, on the thread that asked: a keyring may take its time (or ask the user to unlock
// it), and the window never waits for it.
class TPasswordKeeper
{
public:
    enum class Found {
        Yes,      // the password is there
        No,       // the keyring works but holds none for this login
        NoKeyring // there is no keyring to ask: the password is asked for and kept in memory
    };

    virtual ~TPasswordKeeper() = default;

    // done runs on context's thread, unless context is gone by then.
    virtual void Read(const QString &key, QObject *context,
                      std::function<void(Found found, const QString &password)> done) = 0;
    // done(false) when the keyring could not keep it.
    virtual void Write(const QString &key, const QString &password, QObject *context,
                       std::function<void(bool kept)> done) = 0;

    // "user@host:port/database": one password per login on one server.
    static QString KeyOf(const TClubServerConfig &config);
};

// The desktop's keyring through QtKeychain, under the service "Talvenbahn". Never a file of its
// own: without a keyring, Read answers NoKeyring.
class TKeyringPasswords final : public TPasswordKeeper
{
public:
    static inline const QString kService = QStringLiteral("Talvenbahn");

    void Read(const QString &key, QObject *context,
              std::function<void(Found found, const QString &password)> done) override;
    void Write(const QString &key, const QString &password, QObject *context,
               std::function<void(bool kept)> done) override;
};
