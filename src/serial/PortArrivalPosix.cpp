// Port arrival on Linux: inotify on /dev (where the kernel puts a plugged-in
// device's node) and on the virtual-port folder, plus the folder's parent so
// that a folder made later is watched too. sysfs tells inotify nothing, so the
// system's list is not watched itself.
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cerrno>
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
        ::inotify_add_watch(fd, DeviceFolder, EntryEvents);
        if (!folder.empty()) {
            const std::string parent = std::filesystem::path(folder).parent_path().string();
            ::inotify_add_watch(fd, parent.empty() ? "." : parent.c_str(), EntryEvents);
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
        std::array<pollfd, 2> waits{
            {{static_cast<int>(stop.Native()), POLLIN, 0}, {fd, POLLIN, 0}}};
        int ready = 0;
        do {
            ready = ::poll(waits.data(), fallback ? 1 : 2, static_cast<int>(limit.count()));
        } while (ready < 0 && errno == EINTR);
        if (ready < 0 || (waits[0].revents & POLLIN) != 0) {
            return false;
        }
        if (ready == 0) {
            return fallback;  // the fallback's period, or the caller's time-out
        }
        Drain();
        WatchFolder();  // made or replaced since: watched from now on
        return true;
    }

private:
    void WatchFolder() { ::inotify_add_watch(fd, folder.c_str(), EntryEvents | IN_ONLYDIR); }

    // Every event says the same thing: look at the list again.
    void Drain() {
        alignas(inotify_event) char buffer[4096];
        while (::read(fd, buffer, sizeof buffer) > 0) {
        }
    }

    int fd;
    std::string folder;
};

}  // namespace

std::unique_ptr<PortArrival::Watch> PortArrival::Watch::Start(const ComPortSources& sources) {
    return std::make_unique<InotifyWatch>(sources);
}

}  // namespace vyx
