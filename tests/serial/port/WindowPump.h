#pragma once
// The test's own thread plays the window thread: it runs the hand-over queue when
// the event thread wakes it, as the window's event loop does.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "HandOver.h"

namespace vyx::test {

class WindowPump {
public:
    WindowPump() {
        SetHandOverWakeUp([this] {
            std::lock_guard lock(mutex);
            ++wakeUps;
            woken.notify_all();
        });
    }
    ~WindowPump() {
        SetHandOverWakeUp({});
        RunPendingHandOvers();
    }
    WindowPump(const WindowPump&) = delete;
    WindowPump& operator=(const WindowPump&) = delete;

    /// Runs hand-overs as they come until `done()` holds or `limit` passes.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            RunPendingHandOvers();
            if (done()) {
                return true;
            }
            std::unique_lock lock(mutex);
            const int seen = wakeUps;
            // A short wait also re-checks conditions that change without a wake-up.
            woken.wait_until(
                lock,
                std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(5)),
                [&] { return wakeUps != seen; });
            if (std::chrono::steady_clock::now() >= deadline) {
                lock.unlock();
                RunPendingHandOvers();
                return done();
            }
        }
    }
    /// Waits (without running the queue) until `count` requests have been queued.
    bool WaitForWakeUps(int count, std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex);
        return woken.wait_for(lock, limit, [&] { return wakeUps >= count; });
    }
    int WakeUps() {
        std::lock_guard lock(mutex);
        return wakeUps;
    }

private:
    std::mutex mutex;
    std::condition_variable woken;
    int wakeUps = 0;
};

}  // namespace vyx::test
