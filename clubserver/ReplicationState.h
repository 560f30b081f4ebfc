#pragma once

#include <QMetaType>
#include <QString>

// How a station's link to the club server stands, for the window's status bar.
struct TReplicationState
{
    enum class Kind {
        Connecting,  // not yet tried, or trying
        Connected,   // the server has been reached; waiting says what it still lacks
        Unreachable, // the server cannot be reached now; tried again by itself
        Refused,     // the server was reached but refused a step (rights, schema)
    };

    Kind kind = Kind::Connecting;
    // Events in the journal that the server does not have yet.
    qint64 waiting = 0;
    // Why it is unreachable or refused, in German.
    QString reason;

    // "Vereinsserver: verbunden", "Vereinsserver: 3 Ereignisse warten",
    // "Vereinsserver nicht erreichbar: <Grund>".
    QString text() const;

    bool operator==(const TReplicationState &) const = default;
};
Q_DECLARE_METATYPE(TReplicationState)
