// Interruption from the Windows console: Ctrl+C, Ctrl+Break and the window closing.
#include <windows.h>

#include "ExitCode.h"
#include "Interruption.h"
#include "TCustomComPort.h"

namespace vyx::cli {

namespace {

BOOL WINAPI OnConsoleEvent(DWORD) {
    if (Interruption::Request()) {
        ReleaseEveryPortNow();
        ::ExitProcess(ExitInterrupted);
    }
    return TRUE;
}

}  // namespace

void Interruption::Install() {
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

}  // namespace vyx::cli
