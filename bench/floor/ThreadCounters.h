#pragma once
// System calls and context switches of the calling thread and every thread it
// starts afterwards, counted by the kernel (perf events) between Enable and
// Disable, which any thread may call. Unavailable (Counted() false) where the
// kernel refuses the counters or the tracing folder is not mounted.

#include <cstdint>

namespace vyx::bench {

class ThreadCounters {
public:
    ThreadCounters();
    ~ThreadCounters();
    ThreadCounters(const ThreadCounters&) = delete;
    ThreadCounters& operator=(const ThreadCounters&) = delete;

    bool Counted() const { return syscalls >= 0 && switches >= 0; }
    void Enable();
    void Disable();
    std::uint64_t SystemCalls() const;
    std::uint64_t ContextSwitches() const;

private:
    int syscalls = -1;
    int switches = -1;
};

}  // namespace vyx::bench
