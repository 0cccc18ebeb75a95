#include "app/ExitSignals.h"

#include <csignal>
#include <initializer_list>

namespace
{
volatile std::sig_atomic_t Signalled = 0;

extern "C" void OnExitSignal(int)
{
    Signalled = 1;
}
} // namespace

void InstallExitSignals()
{
    struct sigaction action = {};
    action.sa_handler = OnExitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
    {
        sigaction(signal, &action, nullptr);
    }
}

bool ExitSignalled()
{
    return Signalled != 0;
}
