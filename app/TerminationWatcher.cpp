#include "app/TerminationWatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// Each pair: the handler writes to [0], the reader reads [1].
int signalPipe[2] = {-1, -1};
int lastResortPipe[2] = {-1, -1};
volatile std::sig_atomic_t signalsReceived = 0;
constexpr unsigned kLastResortSeconds = 2;

extern "C" void onTerminationSignal(int signalNumber)
{
    // Only async-signal-safe work here.
    if (signalsReceived++ == 0) {
        const char byte = 1;
        [[maybe_unused]] ssize_t n = ::write(signalPipe[0], &byte, 1);
        return;
    }
    // A second request while the first is being served (its end steps can take seconds
    // while the worker stops): the user insists. The last-resort thread cleans up and ends
    // the process; should it hang, the alarm's default action ends it.
    const char code = char(128 + signalNumber);
    if (lastResortPipe[0] < 0 || ::write(lastResortPipe[0], &code, 1) != 1)
        ::_exit(128 + signalNumber);
    ::alarm(kLastResortSeconds);
}

void closePair(int (&pair)[2])
{
    for (int &fd : pair) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}
} // namespace

TerminationWatcher::TerminationWatcher(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    signalsReceived = 0;
    notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TerminationWatcher::onSignal);
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

TerminationWatcher::~TerminationWatcher()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    delete notifier;
    closePair(signalPipe);
    // Closing the writing end wakes the last-resort thread with nothing to do.
    if (lastResortPipe[0] >= 0) {
        ::close(lastResortPipe[0]);
        lastResortPipe[0] = -1;
    }
    if (lastResortThread.joinable())
        lastResortThread.join();
    closePair(lastResortPipe);
}

void TerminationWatcher::setLastResort(std::function<void()> cleanup)
{
    if (lastResortThread.joinable() ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, lastResortPipe) != 0)
        return;
    lastResort = std::move(cleanup);
    const int readEnd = lastResortPipe[1];
    lastResortThread = std::thread([this, readEnd] {
        char code = 0;
        if (::read(readEnd, &code, 1) != 1)
            return;
        if (lastResort)
            lastResort();
        ::_exit(static_cast<unsigned char>(code));
    });
}

void TerminationWatcher::onSignal()
{
    char byte;
    [[maybe_unused]] ssize_t n = ::read(signalPipe[1], &byte, 1);
    wasRequested = true;
    emit terminationRequested();
}
