#pragma once
// What vyxctl shows while devices work: on a terminal one line per device,
// redrawn in place (a bar with packages, rate and time left, or the latest log
// line); otherwise plain lines, a progress line every tenth of the way. Safe to
// call from one thread per device. Once a write fails (a closed pipe) nothing more
// is shown: progress is never a reason to stop device work.

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace vyx::cli {

class ProgressReporter {
public:
    /// One row per port, in this order. `terminal`: redraw in place.
    ProgressReporter(std::FILE* out, bool terminal, std::vector<std::string> ports);

    /// A device log line of row `row`.
    void Log(std::size_t row, const std::string& text, bool red);
    /// Packages (or requests) done of `maximum`; 0 ends the bar.
    void Progress(std::size_t row, int position, int maximum);

    /// "[#####.....] 930/1861  1502 pacotes/s  faltam 0,6 s"; the rate and time
    /// left only once half a second has passed.
    static std::string BarText(int position, int maximum, double seconds);

private:
    struct Row {
        std::string port;
        std::string text;
        std::chrono::steady_clock::time_point start{};
        int maximum = 0;
        int lastTenth = -1;
    };
    void Show(std::size_t row, const std::string& text, bool keep);

    std::FILE* out;
    const bool terminal;
    std::vector<Row> rows;
    bool barShown = false;  // single device: the bar occupies the current line
    bool silent = false;    // a write failed: nobody is reading
    std::mutex mutex;
};

}  // namespace vyx::cli
