#include "ClubServerLink.h"

#include "EndOffThread.h"
#include "Replicator.h"

#include <QThread>

namespace {

const QString kNoPassword = QStringLiteral("kein Passwort eingegeben (Strg+Umschalt+V)");

} // namespace

TClubServerLink::TClubServerLink(const QString &journalPath,
                                 std::unique_ptr<TPasswordKeeper> keeper, QObject *parent)
    : QObject(parent), FJournalPath(journalPath), FKeeper(std::move(keeper))
{}

TClubServerLink::~TClubServerLink()
{
    ++FGeneration;
    delete std::exchange(FReplicator, nullptr);
    for (const QPointer<QThread> &ending : std::as_const(FEnding)) {
        if (ending) {
            ending->wait();
            delete ending.data();
        }
    }
}

void TClubServerLink::Finish()
{
    ++FGeneration;
    delete std::exchange(FReplicator, nullptr);
}

void TClubServerLink::UseKeeper(std::unique_ptr<TPasswordKeeper> keeper)
{
    FKeeper = std::move(keeper);
}

void TClubServerLink::Apply(const TClubServerConfig &config, const QString &typedPassword)
{
    const quint64 generation = ++FGeneration;
    StopReplicator();
    FConfig = config;
    const QString key = TPasswordKeeper::KeyOf(config);
    if (!typedPassword.isEmpty() && config.isSet()) {
        FPasswords.insert(key, typedPassword);
        // Kept for the next run where there is a keyring; in memory only where there is none.
        if (FKeeper)
            FKeeper->Write(key, typedPassword, this, [](bool) {});
    }
    if (!Sends()) {
        FState = TReplicationState();
        emit stopped();
    }
    if (!config.isSet()) {
        emit serverReady(config, QString());
        return;
    }
    if (Sends())
        Show(TReplicationState());
    if (FPasswords.contains(key))
        Start(generation, FPasswords.value(key));
    else
        FindPassword(generation);
}

QString TClubServerLink::KnownPassword(const TClubServerConfig &config) const
{
    return FPasswords.value(TPasswordKeeper::KeyOf(config));
}

void TClubServerLink::FindPassword(quint64 generation)
{
    const QString key = TPasswordKeeper::KeyOf(FConfig);
    const auto ask = [this, generation, key](bool keep) {
        // Shown until a password comes, and for good when the question is cancelled.
        if (Sends())
            Show({TReplicationState::Kind::Unreachable, 0, kNoPassword});
        if (!AskPassword)
            return;
        AskPassword(FConfig, [this, generation, key, keep,
                              guard = QPointer<TClubServerLink>(this)](const QString &password) {
            if (!guard || generation != FGeneration || password.isEmpty())
                return;
            FPasswords.insert(key, password);
            if (keep && FKeeper)
                FKeeper->Write(key, password, this, [](bool) {});
            Start(generation, password);
        });
    };
    if (!FKeeper) {
        ask(false);
        return;
    }
    FKeeper->Read(
        key, this,
        [this, generation, key, ask](TPasswordKeeper::Found found, const QString &password) {
            if (generation != FGeneration)
                return;
            if (found == TPasswordKeeper::Found::Yes && !password.isEmpty()) {
                FPasswords.insert(key, password);
                Start(generation, password);
                return;
            }
            // A keyring without this login's password keeps the one typed now.
            ask(found == TPasswordKeeper::Found::No);
        });
}

void TClubServerLink::Start(quint64 generation, const QString &password)
{
    if (generation != FGeneration)
        return;
    emit serverReady(FConfig, password);
    if (!Sends())
        return;
    StopReplicator();
    FReplicator = new TReplicator(FJournalPath, FConfig, password);
    connect(FReplicator, &TReplicator::stateChanged, this, &TClubServerLink::Show);
    FReplicator->start();
}

void TClubServerLink::StopReplicator()
{
    TReplicator *old = std::exchange(FReplicator, nullptr);
    if (!old)
        return;
    // Its thread may be in the middle of a connection attempt: the window never waits for it.
    FEnding.removeAll(nullptr);
    FEnding.append(EndOffThread(old));
}

void TClubServerLink::NoteStored(qint64 raceId)
{
    if (FReplicator)
        FReplicator->noteStored(raceId);
}

void TClubServerLink::NotePlans()
{
    if (FReplicator)
        FReplicator->notePlans();
}

void TClubServerLink::Show(const TReplicationState &state)
{
    FState = state;
    emit stateChanged(state);
}
