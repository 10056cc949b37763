#include "ThreadCounters.h"

#include <linux/perf_event.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>

namespace vyx::bench {

namespace {

// The kernel's number for the tracepoint hit on entry to every system call.
long SystemCallEntryId() {
    for (const char* folder : {"/sys/kernel/tracing", "/sys/kernel/debug/tracing"}) {
        std::ifstream file(std::string(folder) + "/events/raw_syscalls/sys_enter/id");
        long id = -1;
        if (file >> id) {
            return id;
        }
    }
    return -1;
}

int Open(std::uint32_t type, std::uint64_t config) {
    perf_event_attr attr{};
    attr.size = sizeof attr;
    attr.type = type;
    attr.config = config;
    attr.disabled = 1;
    attr.inherit = 1;  // threads started later count too
    attr.exclude_hv = 1;
    return static_cast<int>(::syscall(SYS_perf_event_open, &attr, 0, -1, -1, PERF_FLAG_FD_CLOEXEC));
}

std::uint64_t Read(int fd) {
    std::uint64_t value = 0;
    if (fd < 0 || ::read(fd, &value, sizeof value) != sizeof value) {
        return 0;
    }
    return value;
}

}  // namespace

ThreadCounters::ThreadCounters() {
    const long id = SystemCallEntryId();
    if (id >= 0) {
        syscalls = Open(PERF_TYPE_TRACEPOINT, static_cast<std::uint64_t>(id));
    }
    switches = Open(PERF_TYPE_SOFTWARE, PERF_COUNT_SW_CONTEXT_SWITCHES);
}

ThreadCounters::~ThreadCounters() {
    for (int fd : {syscalls, switches}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

void ThreadCounters::Enable() {
    for (int fd : {syscalls, switches}) {
        if (fd >= 0) {
            ::ioctl(fd, PERF_EVENT_IOC_ENABLE, 0);
        }
    }
}

void ThreadCounters::Disable() {
    for (int fd : {syscalls, switches}) {
        if (fd >= 0) {
            ::ioctl(fd, PERF_EVENT_IOC_DISABLE, 0);
        }
    }
}

std::uint64_t ThreadCounters::SystemCalls() const {
    return Read(syscalls);
}

std::uint64_t ThreadCounters::ContextSwitches() const {
    return Read(switches);
}

}  // namespace vyx::bench
