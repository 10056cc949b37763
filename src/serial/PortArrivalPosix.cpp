// Port arrival on Linux: inotify on /dev (where the kernel puts a plugged-in
// device's node) and on the virtual-port folder, plus the folder's parent so
// that a folder made later is watched too. sysfs tells inotify nothing, so the
// system's list is not watched itself.
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <filesystem>

#include "PortArrival.h"

namespace vyx {

namespace {

constexpr const char* DeviceFolder = "/dev";
constexpr std::uint32_t EntryEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
// Without inotify (its limits reached), the list is read this often instead.
constexpr std::chrono::milliseconds FallbackPeriod(1000);

class InotifyWatch : public PortArrival::Watch {
public:
    explicit InotifyWatch(const ComPortSources& sources)
        : fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), folder(sources.virtualFolder) {
        if (fd < 0) {
            return;
        }
        devices = ::inotify_add_watch(fd, DeviceFolder, EntryEvents);
        if (!folder.empty()) {
            const std::filesystem::path path(folder);
            folderName = path.filename().string();
            const std::string parentPath = path.parent_path().string();
            parent = ::inotify_add_watch(fd, parentPath.empty() ? "." : parentPath.c_str(),
                                         EntryEvents | IN_ONLYDIR);
            WatchFolder();
        }
    }
    ~InotifyWatch() override {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    InotifyWatch(const InotifyWatch&) = delete;
    InotifyWatch& operator=(const InotifyWatch&) = delete;

    bool Changed(const EventSignal& stop, std::chrono::milliseconds limit) override {
        const bool fallback = fd < 0;
        if (fallback) {
            limit = std::min(limit, FallbackPeriod);
        }
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (true) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            std::array<pollfd, 2> waits{
                {{static_cast<int>(stop.Native()), POLLIN, 0}, {fd, POLLIN, 0}}};
            int ready = 0;
            do {
                ready = ::poll(waits.data(), fallback ? 1 : 2,
                               static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
            } while (ready < 0 && errno == EINTR);
            if (ready < 0 || (waits[0].revents & POLLIN) != 0) {
                return false;
            }
            if (ready == 0) {
                return fallback;  // the fallback's period, or the caller's time-out
            }
            if (Relevant()) {
                WatchFolder();  // made or replaced since: watched from now on
                return true;
            }
        }
    }

private:
    void WatchFolder() {
        folderWatch = ::inotify_add_watch(fd, folder.c_str(), EntryEvents | IN_ONLYDIR);
    }

    // Whether the pending events may change the list: anything in /dev or the
    // folder, but in the folder's parent (a busy /tmp) only the folder itself.
    bool Relevant() {
        alignas(inotify_event) char buffer[4096];
        bool relevant = false;
        ssize_t size = 0;
        while ((size = ::read(fd, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < size;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                const bool overflow = (event->mask & IN_Q_OVERFLOW) != 0;
                const bool inParent =
                    event->wd == parent && event->wd != devices && event->wd != folderWatch;
                relevant = relevant || overflow || !inParent ||
                           (event->len > 0 && folderName == event->name);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return relevant;
    }

    int fd;
    std::string folder;
    std::string folderName;
    int devices = -1;
    int parent = -1;
    int folderWatch = -1;
};

}  // namespace

std::unique_ptr<PortArrival::Watch> PortArrival::Watch::Start(const ComPortSources& sources) {
    return std::make_unique<InotifyWatch>(sources);
}

}  // namespace vyx
