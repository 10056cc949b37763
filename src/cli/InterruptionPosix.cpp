// Interruption by POSIX signals.
#include <unistd.h>

#include <csignal>

#include "ExitCode.h"
#include "Interruption.h"
#include "TCustomComPort.h"

namespace vyx::cli {

namespace {

constexpr char AtOnceText[] = "\nvyxctl: interrompido de novo: encerrado sem esperar os Vyx\n";

extern "C" void OnInterrupt(int) {
    if (!Interruption::Request()) {
        return;
    }
    ReleaseEveryPortNow();
    [[maybe_unused]] const auto ignored = ::write(STDERR_FILENO, AtOnceText, sizeof AtOnceText - 1);
    ::_exit(ExitInterrupted);
}

// A crash (an abort, an uncaught exception) still gives the ports back before
// the process goes; the signal then does what it would have done.
extern "C" void OnAbort(int signal) {
    ReleaseEveryPortNow();
    ::raise(signal);
}

}  // namespace

void Interruption::Install() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
    // A reader that went away (`| head`) makes writes fail instead of ending us.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, nullptr);
    struct sigaction crash {};
    crash.sa_handler = OnAbort;
    sigemptyset(&crash.sa_mask);
    crash.sa_flags = SA_RESETHAND | SA_NODEFER;
    ::sigaction(SIGABRT, &crash, nullptr);
}

}  // namespace vyx::cli
