#include "ClientAddress.h"

QHostAddress ClientAddress(const QHostAddress &peer)
{
    bool isIPv4 = false;
    const quint32 ipv4 = peer.toIPv4Address(&isIPv4);
    if (isIPv4)
        return QHostAddress(ipv4);
    Q_IPV6ADDR network = peer.toIPv6Address();
    for (int i = 8; i < 16; ++i)
        network[i] = 0;
    return QHostAddress(network);
}

bool TAddressCount::take(const QHostAddress &client, int limit)
{
    const int held = m_counts.value(client);
    if (held >= limit)
        return false;
    m_counts.insert(client, held + 1);
    return true;
}

void TAddressCount::give(const QHostAddress &client)
{
    const auto it = m_counts.find(client);
    if (it == m_counts.end())
        return;
    if (--it.value() <= 0)
        m_counts.erase(it);
}
