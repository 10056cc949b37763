// The console's window size on Windows.
#include <io.h>
#include <windows.h>

#include "Terminal.h"

namespace vyx::cli {

bool RedrawsInPlace(std::FILE* file, std::size_t rows) {
    const int fd = ::_fileno(file);
    if (fd < 0 || ::_isatty(fd) == 0) {
        return false;
    }
    CONSOLE_SCREEN_BUFFER_INFO info{};
    const HANDLE console = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    const int screenRows = ::GetConsoleScreenBufferInfo(console, &info) != 0
                               ? info.srWindow.Bottom - info.srWindow.Top + 1
                               : 0;
    return FitsInPlace(rows, screenRows);
}

bool IsTerminal(std::FILE* file) {
    const int fd = ::_fileno(file);
    return fd >= 0 && ::_isatty(fd) != 0;
}

}  // namespace vyx::cli
