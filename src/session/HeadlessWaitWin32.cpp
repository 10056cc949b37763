// The headless loop waits for the port's event thread to hand a batch over.
#include <condition_variable>
#include <mutex>

#include "HeadlessWait.h"

namespace vyx {

struct HeadlessWait::State {
    std::mutex mutex;
    std::condition_variable woken;
    bool pending = false;
};

HeadlessWait::HeadlessWait(TComPort&) : state(std::make_unique<State>()) {}

HeadlessWait::~HeadlessWait() = default;

void HeadlessWait::WakeUp() {
    {
        std::lock_guard lock(state->mutex);
        state->pending = true;
    }
    state->woken.notify_one();
}

void HeadlessWait::Until(Clock::time_point until) {
    std::unique_lock lock(state->mutex);
    state->woken.wait_until(lock, until, [this] { return state->pending; });
    state->pending = false;
}

void HeadlessWait::Receive() {
    // The batches come as hand-overs, which the loop runs itself.
}

}  // namespace vyx
