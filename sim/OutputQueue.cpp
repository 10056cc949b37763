#include "OutputQueue.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vyx::sim {

void OutputQueue::Push(Frame frame, Clock::time_point earliest) {
    // Chunks of consecutive frames keep the same spacing as chunks within one.
    Clock::time_point due = earliest;
    if (!chunks.empty()) {
        due = std::max(due, lastDue + (chunkSize != 0 ? gap : std::chrono::microseconds(0)));
    }
    const std::size_t step = chunkSize != 0 ? chunkSize : frame.size();
    for (std::size_t offset = 0; offset < frame.size(); offset += step) {
        const std::size_t end = std::min(frame.size(), offset + step);
        Chunk chunk;
        chunk.due = due;
        chunk.bytes.assign(frame.begin() + static_cast<std::ptrdiff_t>(offset),
                           frame.begin() + static_cast<std::ptrdiff_t>(end));
        lastDue = due;
        due += gap;
        if (end == frame.size()) {
            chunk.completes = frame;
        }
        chunks.push_back(std::move(chunk));
    }
}

OutputQueue::Progress OutputQueue::WriteDue(int fd, Clock::time_point now) {
    Progress progress;
    while (!chunks.empty() && chunks.front().due <= now) {
        Chunk& chunk = chunks.front();
        const ssize_t written =
            ::write(fd, chunk.bytes.data() + chunk.written, chunk.bytes.size() - chunk.written);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            (errno == EAGAIN ? progress.blocked : progress.failed) = true;
            break;
        }
        chunk.written += static_cast<std::size_t>(written);
        if (chunk.written < chunk.bytes.size()) {
            progress.blocked = true;
            break;
        }
        if (chunk.completes) {
            progress.finished.push_back(std::move(*chunk.completes));
        }
        chunks.pop_front();
    }
    return progress;
}

std::vector<std::vector<std::uint8_t>> OutputQueue::TakeDue(Clock::time_point now) {
    std::vector<std::vector<std::uint8_t>> due;
    while (!chunks.empty() && chunks.front().due <= now) {
        Chunk& chunk = chunks.front();
        due.emplace_back(chunk.bytes.begin() + static_cast<std::ptrdiff_t>(chunk.written),
                         chunk.bytes.end());
        chunks.pop_front();
    }
    return due;
}

std::optional<OutputQueue::Clock::time_point> OutputQueue::NextDue() const {
    if (chunks.empty()) {
        return std::nullopt;
    }
    return chunks.front().due;
}

}  // namespace vyx::sim
