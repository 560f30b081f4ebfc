#pragma once

#include <QtGlobal>

// A port of 127.0.0.1 where connection attempts vanish, as behind a firewall that drops the
// packets: its listening socket's queue is full and never taken from, so the kernel drops each
// further SYN and a client waits for its own timeout.
class BlackHole
{
public:
    BlackHole();
    ~BlackHole();
    BlackHole(const BlackHole &) = delete;
    BlackHole &operator=(const BlackHole &) = delete;

    bool isValid() const { return m_port > 0; }
    int port() const { return m_port; }

private:
    int m_listener = -1;
    int m_filler = -1;
    int m_port = 0;
};
