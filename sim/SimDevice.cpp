#include "SimDevice.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "DeviceIdentity.h"
#include "PortLink.h"
#include "PseudoTerminal.h"

namespace vyx::sim {
namespace {

// While nobody holds the port, the master cannot be polled (it reports POLLHUP
// at once, every time); open events wake the thread instead, and this re-check
// covers a system where they do not arrive.
constexpr std::chrono::milliseconds ClosedRecheck{250};
constexpr std::chrono::hours Forever{24};

timespec ToTimespec(std::chrono::nanoseconds span) {
    span = std::max(span, std::chrono::nanoseconds(0));
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(span);
    return {static_cast<time_t>(seconds.count()), static_cast<long>((span - seconds).count())};
}

}  // namespace

SimDevice::SimDevice(SimOptions options)
    : options(std::move(options)),
      model(this->options),
      output(this->options.chunkSize, this->options.chunkGap) {}

SimDevice::~SimDevice() {
    Stop();
}

void SimDevice::Start() {
    line = std::make_unique<PseudoTerminal>();
    slavePath = line->SlavePath();
    const std::string folder =
        options.portFolder.empty() ? PortLink::DefaultFolder() : options.portFolder;
    link = std::make_unique<PortLink>(folder, options.linkName, slavePath);
    linkPath = link->Path();
    wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) {
        throw std::runtime_error(std::string("cannot create an event descriptor: ") +
                                 std::strerror(errno));
    }
    watchFd = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (watchFd >= 0 && ::inotify_add_watch(watchFd, slavePath.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        ::close(watchFd);
        watchFd = -1;  // the periodic re-check still finds the tool
    }
    thread = std::thread(&SimDevice::Run, this);
}

void SimDevice::Stop() {
    if (thread.joinable()) {
        stopRequested = true;
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(wakeFd, &one, sizeof one);
        thread.join();
    }
    link.reset();
    line.reset();
    for (int* fd : {&wakeFd, &watchFd}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

SimStatus SimDevice::Status() const {
    std::lock_guard lock(mutex);
    return model.Status();
}

bool SimDevice::WaitFor(const std::function<bool(const SimStatus&)>& condition,
                        std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [&] { return condition(model.Status()); });
}

bool SimDevice::Finished() const {
    std::lock_guard lock(mutex);
    return finished;
}

std::string SimDevice::Failure() const {
    std::lock_guard lock(mutex);
    return failure;
}

void SimDevice::Note(const std::string& text) const {
    if (options.log) {
        options.log(text);
    }
}

void SimDevice::Run() {
    try {
        Serve();
    } catch (const std::exception& error) {
        std::lock_guard lock(mutex);
        failure = error.what();
    }
    std::lock_guard lock(mutex);
    finished = true;
    changed.notify_all();
}

void SimDevice::Serve() {
    while (!stopRequested) {
        Clock::time_point wake = Clock::now() + (open ? Forever : ClosedRecheck);
        if (open) {
            bool announcing = false;
            {
                std::lock_guard lock(mutex);
                announcing = !model.Status().spokenTo && !model.Status().restarting;
            }
            if (announcing) {
                wake = std::min(wake, nextAnnouncement);
            }
            if (const auto due = output.NextDue(); due && !writeBlocked) {
                wake = std::min(wake, *due);
            }
        }
        if (restartDue) {
            wake = std::min(wake, *restartDue);
        }

        std::array<pollfd, 3> fds{};
        fds[0] = {wakeFd, POLLIN, 0};
        fds[1] = {watchFd, POLLIN, 0};
        fds[2] = {open ? line->Master() : -1,
                  static_cast<short>(POLLIN | (writeBlocked ? POLLOUT : 0)), 0};
        const timespec timeout = ToTimespec(wake - Clock::now());
        if (::ppoll(fds.data(), fds.size(), &timeout, nullptr) < 0 && errno != EINTR) {
            throw std::runtime_error(std::string("poll failed: ") + std::strerror(errno));
        }
        if (stopRequested) {
            return;
        }
        const bool sawClose = DrainCloseEvents();
        Clock::time_point now = Clock::now();
        if (open && (fds[2].revents & (POLLIN | POLLHUP)) != 0 && !ReadLine(now)) {
            return;  // hung up on purpose
        }
        UpdateLineState(sawClose, now);

        now = Clock::now();
        if (restartDue && now >= *restartDue) {
            restartDue.reset();
            {
                std::lock_guard lock(mutex);
                model.FinishRestart();
                changed.notify_all();
            }
            nextAnnouncement = now;
            Note("restarted at release 2.39");
        }
        if (open) {
            Announce(now);
            WriteDue(now);
        }
    }
}

bool SimDevice::DrainCloseEvents() {
    bool sawClose = false;
    alignas(inotify_event) std::array<char, 4096> buffer;
    for (;;) {
        const ssize_t length = watchFd >= 0 ? ::read(watchFd, buffer.data(), buffer.size()) : -1;
        if (length <= 0) {
            return sawClose;
        }
        for (ssize_t at = 0; at < length;) {
            inotify_event event;
            std::memcpy(&event, buffer.data() + at, sizeof event);
            sawClose = sawClose || (event.mask & IN_CLOSE) != 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
        }
    }
}

bool SimDevice::ReadLine(Clock::time_point now) {
    std::array<std::uint8_t, 4096> buffer;
    for (;;) {
        const ssize_t count = ::read(line->Master(), buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return true;  // drained (EAGAIN), or the tool has closed the port (EIO)
        }
        const auto frames =
            assembler.Feed(std::span(buffer.data(), static_cast<std::size_t>(count)), now);
        for (const auto& frame : frames) {
            DeviceModel::Outcome outcome;
            {
                std::lock_guard lock(mutex);
                outcome = model.HandleFrame(frame);
                model.Status().bytesDiscarded = assembler.Discarded();
                changed.notify_all();
            }
            if (!Apply(std::move(outcome), now)) {
                return false;
            }
        }
        std::lock_guard lock(mutex);
        model.Status().bytesDiscarded = assembler.Discarded();
    }
}

bool SimDevice::Apply(DeviceModel::Outcome outcome, Clock::time_point now) {
    for (const std::string& note : outcome.notes) {
        Note(note);
    }
    if (outcome.hangUp) {
        line->Close();
        link->Remove();
        open = false;
        std::lock_guard lock(mutex);
        model.Status().hungUp = true;
        model.Status().portOpen = false;
        changed.notify_all();
        return false;
    }
    const Clock::time_point due = now + options.replyDelay + outcome.delay;
    for (auto& reply : outcome.replies) {
        output.Push(std::move(reply), due);
    }
    if (outcome.restart) {
        restartDue = due + options.restartPause;
    }
    return true;
}

void SimDevice::UpdateLineState(bool sawClose, Clock::time_point now) {
    const bool slaveOpen = line->SlaveOpen();
    // A close event while the slave is still open means it was closed and opened
    // again between two looks: that is a new session too.
    if (open && (!slaveOpen || sawClose)) {
        open = false;
        writeBlocked = false;
        assembler.Reset();
        output.Clear();
        line->Flush();
        {
            std::lock_guard lock(mutex);
            model.Status().portOpen = false;
            changed.notify_all();
        }
        Note("port closed");
    }
    if (!open && slaveOpen) {
        open = true;
        nextAnnouncement = now + options.announceDelay;
        {
            std::lock_guard lock(mutex);
            model.PortOpened();
            model.Status().portOpen = true;
            ++model.Status().opens;
            changed.notify_all();
        }
        Note("port opened");
    }
}

void SimDevice::Announce(Clock::time_point now) {
    if (now < nextAnnouncement) {
        return;
    }
    std::vector<std::uint8_t> frame;
    DeviceVersion version{};
    {
        std::lock_guard lock(mutex);
        const SimStatus& status = model.Status();
        if (status.spokenTo || status.restarting) {
            return;
        }
        frame = model.Announcement();
        version = status.version;
        ++model.Status().announcements;
        changed.notify_all();
    }
    output.Push(std::move(frame), now);
    nextAnnouncement = now + options.announceInterval;
    if (options.operatingFrame) {
        Note("operating-mode notice");
    } else {
        Note("identity " + VersionText(version));
    }
}

void SimDevice::WriteDue(Clock::time_point now) {
    auto progress = output.WriteDue(line->Master(), now);
    writeBlocked = progress.blocked;
    if (progress.failed) {
        output.Clear();  // the line is gone; the next open starts afresh
        Note(std::string("write failed: ") + std::strerror(errno));
    }
    if (!progress.finished.empty()) {
        std::lock_guard lock(mutex);
        auto& written = model.Status().framesWritten;
        for (auto& frame : progress.finished) {
            written.push_back(std::move(frame));
        }
        if (written.size() > WrittenFramesKept) {
            written.erase(written.begin(),
                          written.end() - static_cast<std::ptrdiff_t>(WrittenFramesKept));
        }
        changed.notify_all();
    }
}

}  // namespace vyx::sim
