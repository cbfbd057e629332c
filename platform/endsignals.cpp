// The end signals: the handler only writes a byte to a pipe, which is all a signal handler may safely
// do; a socket notifier on the owner's thread reads it and makes the call there, between events.
#include "platform/endsignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int EndSignals[] = {SIGTERM, SIGHUP};
int SignalPipe[2] = {-1, -1};

void OnEndSignal(int) {
    const char byte = 1;
    // A full pipe already holds a request; nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t written = write(SignalPipe[1], &byte, 1);
}

} // namespace

bool CallOnEndSignals(QObject* owner, std::function<void()> end) {
    if (SignalPipe[0] >= 0) return false; // one caller per process
    if (pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    auto* notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [notifier, end = std::move(end)] {
        char bytes[16];
        while (read(SignalPipe[0], bytes, sizeof bytes) > 0) {
        }
        // A second signal while the first one's end is under way changes nothing.
        notifier->setEnabled(false);
        end();
    });
    struct sigaction action = {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : EndSignals)
        sigaction(signal, &action, nullptr);
    return true;
}
