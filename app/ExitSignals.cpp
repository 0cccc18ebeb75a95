#include "app/ExitSignals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace
{
volatile std::sig_atomic_t Signalled = 0;
int Pipe[2] = {-1, -1};

extern "C" void OnExitSignal(int)
{
    const int saved = errno;
    if (Signalled == 0 && Pipe[1] >= 0)
    {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(Pipe[1], &byte, 1);
    }
    Signalled = 1;
    errno = saved;
}
} // namespace

void InstallExitSignals()
{
    if (Pipe[0] < 0 && ::pipe2(Pipe, O_CLOEXEC | O_NONBLOCK) != 0)
    {
        Pipe[0] = Pipe[1] = -1; // the flag alone then: boxes wait for the player
    }
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

int ExitSignalFd()
{
    return Pipe[0];
}
