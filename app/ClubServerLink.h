#pragma once

#include "ClubServerConfig.h"
#include "PasswordKeeper.h"
#include "ReplicationState.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QThread;
class TReplicator;

// The station's link to the club server: finds the password (the keyring, else a question),
// then runs a replicator on the journal, and starts it afresh when the settings change. Every
// step answers later through the event loop; nothing here waits for the network or the keyring
// on the window's thread. Without a server, or as a results office, it sends nothing.
class TClubServerLink : public QObject
{
    Q_OBJECT
public:
    // Asks for the password of config's login where the keyring has none; calls done with it,
    // or never when the user cancels. The window's question by default.
    using TAskPassword = std::function<void(const TClubServerConfig &config,
                                            std::function<void(const QString &password)> done)>;

    TClubServerLink(const QString &journalPath, std::unique_ptr<TPasswordKeeper> keeper,
                    QObject *parent = nullptr);
    // Stops the replicator; it may wait for one connection attempt to give up.
    ~TClubServerLink() override;

    TAskPassword AskPassword;
    // Replaces the keyring (tests).
    void UseKeeper(std::unique_ptr<TPasswordKeeper> keeper);

    // Runs against config from now on. A typed password (from the dialog) is used at once and
    // put into the keyring; an empty one leaves the known or stored password.
    void Apply(const TClubServerConfig &config, const QString &typedPassword = QString());
    const TClubServerConfig &Config() const { return FConfig; }
    // Whether the station sends to a server (set up, not read-only, with a journal to send).
    bool Sends() const { return FConfig.isSet() && !FConfig.readOnly && !FJournalPath.isEmpty(); }
    // The password of config's login as far as this run knows it; empty when unknown.
    QString KnownPassword(const TClubServerConfig &config) const;

    // Sends what the journal holds in one last pass, waiting a bounded time
    // (TReplicator::kStopWaitMs), and sends nothing more.
    void Finish();

    // A race of the journal has a new event or a changed row (0: several races); a race day or
    // season was saved.
    void NoteStored(qint64 raceId);
    void NotePlans();

    TReplicator *Replicator() const { return FReplicator; }
    TReplicationState State() const { return FState; }

signals:
    // The state to show; only while Sends().
    void stateChanged(const TReplicationState &state);
    // No server any more (none set up, or a results office): nothing to show.
    void stopped();
    // The server to read from, with its password once known (also for a results office); an
    // unset config when there is none any more.
    void serverReady(const TClubServerConfig &config, const QString &password);

private:
    void FindPassword(quint64 generation);
    void Start(quint64 generation, const QString &password);
    void StopReplicator();
    void Show(const TReplicationState &state);

    QString FJournalPath;
    std::unique_ptr<TPasswordKeeper> FKeeper;
    TClubServerConfig FConfig;
    // Passwords of this run by login key: typed, asked for, or read from the keyring.
    QHash<QString, QString> FPasswords;
    // Counts Apply calls, so a late answer for an earlier setting is dropped.
    quint64 FGeneration = 0;
    TReplicator *FReplicator = nullptr;
    TReplicationState FState;
    // Replicators that were replaced, ending on threads of their own.
    QList<QPointer<QThread>> FEnding;
};
