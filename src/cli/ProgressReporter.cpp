#include "ProgressReporter.h"

#include <cstdio>

namespace vyx::cli {

namespace {

constexpr int BarWidth = 24;
constexpr double RateSpan = 0.5;  // seconds
constexpr const char* ClearLine = "\r\033[2K";
constexpr const char* RedOn = "\033[31m";
constexpr const char* ColourOff = "\033[0m";

}  // namespace

ProgressReporter::ProgressReporter(std::FILE* out, bool terminal, std::vector<std::string> ports)
    : out(out), terminal(terminal) {
    for (std::string& port : ports) {
        rows.push_back(Row{std::move(port), {}, {}, 0, -1});
    }
    if (terminal && rows.size() > 1) {
        // Room for the rows, redrawn in place from here on.
        for (const Row& row : rows) {
            std::fprintf(out, "%s:\n", row.port.c_str());
        }
        silent = std::fflush(out) != 0 || std::ferror(out) != 0;
    }
}

std::string ProgressReporter::BarText(int position, int maximum, double seconds) {
    const int filled = maximum > 0 ? position * BarWidth / maximum : 0;
    std::string text = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(BarWidth - filled), '.') + "] ";
    char numbers[96];
    // A rate over a few quick requests says nothing: it waits for a meaningful span.
    const double rate = seconds >= RateSpan ? (position - 1) / seconds : 0;
    if (rate > 0) {
        std::snprintf(numbers, sizeof numbers, "%d/%d  %.0f pacotes/s  faltam %.1f s", position,
                      maximum, rate, (maximum - position) / rate);
        // The technicians write a decimal comma.
        std::string line = numbers;
        line[line.rfind('.')] = ',';
        return text + line;
    }
    std::snprintf(numbers, sizeof numbers, "%d/%d", position, maximum);
    return text + numbers;
}

void ProgressReporter::Log(std::size_t row, const std::string& text, bool red) {
    std::lock_guard lock(mutex);
    std::string line = text;
    for (std::size_t at; (at = line.find("\r\n")) != std::string::npos;) {
        line.replace(at, 2, "  ");
    }
    if (terminal && red) {
        line = RedOn + line + ColourOff;
    }
    Show(row, line, true);
}

void ProgressReporter::Progress(std::size_t row, int position, int maximum) {
    std::lock_guard lock(mutex);
    Row& r = rows[row];
    const auto now = std::chrono::steady_clock::now();
    if (maximum <= 0 || position <= 0) {
        r.lastTenth = -1;
        return;
    }
    if (position == 1 || maximum != r.maximum) {
        r.start = now;
        r.maximum = maximum;
    }
    const double seconds = std::chrono::duration<double>(now - r.start).count();
    if (terminal) {
        Show(row, BarText(position, maximum, seconds), false);
        return;
    }
    const int tenth = position * 10 / maximum;
    if (tenth != r.lastTenth) {
        r.lastTenth = tenth;
        Show(row, BarText(position, maximum, seconds), true);
    }
}

void ProgressReporter::Show(std::size_t row, const std::string& text, bool keep) {
    Row& r = rows[row];
    r.text = text;
    if (silent) {
        return;
    }
    if (!terminal) {
        if (rows.size() > 1) {
            std::fprintf(out, "%s: %s\n", r.port.c_str(), text.c_str());
        } else {
            std::fprintf(out, "%s\n", text.c_str());
        }
    } else if (rows.size() > 1) {
        const std::size_t up = rows.size() - row;
        std::fprintf(out, "\033[%zuA%s%s: %s\033[%zuB\r", up, ClearLine, r.port.c_str(),
                     text.c_str(), up);
    } else {
        // A kept line scrolls up; the bar stays on the last line until replaced.
        std::fprintf(out, "%s%s%s", barShown ? ClearLine : "", text.c_str(), keep ? "\n" : "");
        barShown = !keep;
    }
    silent = std::fflush(out) != 0 || std::ferror(out) != 0;
}

}  // namespace vyx::cli
