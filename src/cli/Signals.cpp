#include "cli/Signals.h"

#include "core/BackupRun.h"

#include <atomic>
#include <csignal>

#ifndef _WIN32
#include <signal.h>
#endif

namespace Signals {
namespace {

std::atomic<BackupRun*> stoppableRun{nullptr};
volatile std::sig_atomic_t received = 0;
volatile std::sig_atomic_t resized = 1; // the width is read at first use

extern "C" void onStop(int signal)
{
    received = signal;
    if (BackupRun* run = stoppableRun.load()) {
        run->requestStop();
        return;
    }
    // Outside a copy nothing is half written: the signal ends the program as it would any.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

#ifndef _WIN32
extern "C" void onResize(int)
{
    resized = 1;
}

bool handle(int signal, void (*handler)(int))
{
    // Restarted calls, so that the copy's reads and writes never see EINTR; a prompt waits in
    // poll(), which a signal always ends.
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(signal, &action, nullptr) == 0;
}
#endif

} // namespace

bool install()
{
#ifdef _WIN32
    return std::signal(SIGINT, onStop) != SIG_ERR && std::signal(SIGTERM, onStop) != SIG_ERR;
#else
    return handle(SIGINT, onStop) && handle(SIGTERM, onStop) && handle(SIGWINCH, onResize);
#endif
}

int stopSignal()
{
    return received;
}

void setStoppableRun(BackupRun* run)
{
    stoppableRun = run;
}

bool takeResize()
{
    const bool was = resized != 0;
    resized = 0;
    return was;
}

} // namespace Signals
