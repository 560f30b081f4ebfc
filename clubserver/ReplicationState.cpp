#include "ReplicationState.h"

QString TReplicationState::text() const
{
    switch (kind) {
    case Kind::Connecting:
        return QStringLiteral("Vereinsserver: Verbindung wird aufgebaut …");
    case Kind::Connected:
        if (waiting == 0)
            return QStringLiteral("Vereinsserver: verbunden");
        return waiting == 1 ? QStringLiteral("Vereinsserver: 1 Ereignis wartet")
                            : QStringLiteral("Vereinsserver: %1 Ereignisse warten").arg(waiting);
    case Kind::Unreachable:
        return QStringLiteral("Vereinsserver nicht erreichbar: %1").arg(reason);
    case Kind::Refused:
        return QStringLiteral("Vereinsserver lehnt ab: %1").arg(reason);
    }
    return {};
}
