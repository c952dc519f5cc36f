#include "app/FatalSignals.h"

#include "app/DesktopGuardian.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int fatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
struct sigaction previous[sizeof fatalSignals / sizeof fatalSignals[0]];

extern "C" void onFatalSignal(int signalNumber, siginfo_t *, void *)
{
    DesktopGuardian::dropLinkNow();
    static const char line[] = "Tovra Mouse: ended by a fatal signal; the guardian puts the "
                               "desktop back\n";
    [[maybe_unused]] ssize_t n = write(STDERR_FILENO, line, sizeof line - 1);
    // The handler that was there before takes over; the signal, blocked while this runs,
    // is delivered to it (or to the default action) when this returns. A fault comes back
    // by itself when the faulting instruction runs again.
    for (std::size_t i = 0; i < sizeof fatalSignals / sizeof fatalSignals[0]; ++i) {
        if (fatalSignals[i] == signalNumber)
            sigaction(signalNumber, &previous[i], nullptr);
    }
    raise(signalNumber);
}

} // namespace

void installFatalSignalHandlers()
{
    // Once: a second time would keep this handler as the one to pass the signal on to.
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_sigaction = onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < sizeof fatalSignals / sizeof fatalSignals[0]; ++i)
        sigaction(fatalSignals[i], &action, &previous[i]);
}
