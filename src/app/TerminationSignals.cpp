#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace vantorel {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// Read end, write end; -1 while no instance exists.
int pipeEnds[2] = {-1, -1};

extern "C" void writeSignal(int number) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(number);
    // Non-blocking: with the pipe full, the signals already waiting are enough.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (pipeEnds[0] != -1 || ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction action {};
    action.sa_handler = writeSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls resume: the run loop learns of the signal from the pipe.
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals) {
        if (::sigaction(number, &action, nullptr) == 0) continue;
        for (const int installed : kSignals)
            std::signal(installed, SIG_DFL);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        pipeEnds[0] = pipeEnds[1] = -1;
        return;
    }
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { drain(); });
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_) return;
    for (const int number : kSignals)
        std::signal(number, SIG_DFL);
    delete notifier_;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void TerminationSignals::drain() {
    unsigned char byte = 0;
    while (::read(pipeEnds[0], &byte, 1) == 1) {
        if (onSignal) onSignal(byte);
    }
}

}  // namespace vantorel
