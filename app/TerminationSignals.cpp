#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int gSignalSocket[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

void onSignal(int signal)
{
    const auto byte = static_cast<unsigned char>(signal);
    // Nothing but an async-signal-safe write here; a full socket only loses a repeat.
    [[maybe_unused]] const ssize_t written = ::write(gSignalSocket[0], &byte, 1);
}

} // namespace

TTerminationSignals::TTerminationSignals(std::function<void(int)> onSignalCall, QObject *parent)
    : QObject(parent), FOnSignal(std::move(onSignalCall))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gSignalSocket) != 0)
        return;
    FNotifier = new QSocketNotifier(gSignalSocket[1], QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, &TTerminationSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

TTerminationSignals::~TTerminationSignals()
{
    for (const int signal : kSignals)
        std::signal(signal, SIG_DFL);
    delete FNotifier;
    for (int &fd : gSignalSocket) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void TTerminationSignals::readSignal()
{
    unsigned char byte = 0;
    while (::read(gSignalSocket[1], &byte, 1) == 1) {
        if (FOnSignal)
            FOnSignal(byte);
    }
}
