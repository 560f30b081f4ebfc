#pragma once

#include <QHash>
#include <QHostAddress>

// The address a client's connections are counted under: its IPv4 address (also when it comes
// as an IPv4-mapped IPv6 address), or for IPv6 the /64 network, since one machine there usually
// has a whole /64 to choose its addresses from.
QHostAddress ClientAddress(const QHostAddress &peer);

// How many of something (connections, streams) each client address holds.
class TAddressCount
{
public:
    // Counts one more for the address and returns true, or false when it holds limit already.
    bool take(const QHostAddress &client, int limit);
    void give(const QHostAddress &client);
    int count(const QHostAddress &client) const { return m_counts.value(client); }

private:
    QHash<QHostAddress, int> m_counts;
};
