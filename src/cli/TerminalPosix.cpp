// The terminal's screen size on POSIX systems.
#include <sys/ioctl.h>
#include <unistd.h>

#include "Terminal.h"

namespace vyx::cli {

bool RedrawsInPlace(std::FILE* file, std::size_t rows) {
    const int fd = ::fileno(file);
    if (fd < 0 || ::isatty(fd) != 1) {
        return false;
    }
    winsize size{};
    const int screenRows = ::ioctl(fd, TIOCGWINSZ, &size) == 0 ? size.ws_row : 0;
    return FitsInPlace(rows, screenRows);
}

bool IsTerminal(std::FILE* file) {
    const int fd = ::fileno(file);
    return fd >= 0 && ::isatty(fd) == 1;
}

}  // namespace vyx::cli
