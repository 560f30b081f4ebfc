#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT (logout, shutdown, kill, Ctrl+C in a terminal) into a call on
// the GUI thread, so the program closes as a normal close does: settings saved, journal closed.
// The signal handler only writes one byte into a socket pair; everything else happens later in
// the event loop. One instance per program.
class TTerminationSignals : public QObject
{
public:
    explicit TTerminationSignals(std::function<void(int signal)> onSignal,
                                 QObject *parent = nullptr);
    ~TTerminationSignals() override;

private:
    void readSignal();

    std::function<void(int)> FOnSignal;
    QSocketNotifier *FNotifier = nullptr;
};
