#include "HandOver.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace vyx {

namespace {

struct Request {
    std::function<void()> run;
    std::function<void()> afterRelease;
    std::exception_ptr error;
    bool released = false;
};

thread_local HandOverQueue* threadQueue = nullptr;

}  // namespace

struct HandOverQueue {
    std::mutex mutex;
    std::condition_variable
        changed;  // a request was queued or released, or a waiter's state changed
    std::deque<Request*> requests;
    std::function<void()> wakeUp;
};

namespace {

HandOverQueue& Queue() {
    static HandOverQueue processQueue;
    return threadQueue != nullptr ? *threadQueue : processQueue;
}

}  // namespace

std::shared_ptr<HandOverQueue> NewHandOverQueue() {
    return std::make_shared<HandOverQueue>();
}

void UseHandOverQueue(HandOverQueue* queue) {
    threadQueue = queue;
}

HandOverQueue* CurrentHandOverQueue() {
    return &Queue();
}

void SetHandOverWakeUp(std::function<void()> wakeUp) {
    HandOverQueue& q = Queue();
    std::lock_guard lock(q.mutex);
    q.wakeUp = std::move(wakeUp);
}

void RunPendingHandOvers() {
    HandOverQueue& q = Queue();
    std::size_t pending;
    {
        std::lock_guard lock(q.mutex);
        pending = q.requests.size();
    }
    // Requests queued while these run brought a wake-up of their own.
    for (; pending > 0; --pending) {
        Request* request;
        {
            std::lock_guard lock(q.mutex);
            if (q.requests.empty()) {
                return;
            }
            request = q.requests.front();
            q.requests.pop_front();
        }
        std::exception_ptr error;
        try {
            request->run();
        } catch (...) {
            error = std::current_exception();
        }
        // The request lives on the event thread's stack: nothing of it may be
        // touched once that thread is released.
        std::function<void()> after = std::move(request->afterRelease);
        {
            std::lock_guard lock(q.mutex);
            request->error = error;
            request->released = true;
        }
        q.changed.notify_all();
        if (after) {
            after();
        }
    }
}

std::exception_ptr HandOverAndWait(std::function<void()> run, std::function<void()> afterRelease) {
    HandOverQueue& q = Queue();
    Request request{std::move(run), std::move(afterRelease), nullptr, false};
    std::function<void()> wakeUp;
    {
        std::lock_guard lock(q.mutex);
        q.requests.push_back(&request);
        wakeUp = q.wakeUp;
    }
    q.changed.notify_all();
    if (wakeUp) {
        wakeUp();
    }
    std::unique_lock lock(q.mutex);
    q.changed.wait(lock, [&] { return request.released; });
    return request.error;
}

void WaitForHandOverOr(const std::function<bool()>& done) {
    HandOverQueue& q = Queue();
    std::unique_lock lock(q.mutex);
    q.changed.wait(lock, [&] { return !q.requests.empty() || done(); });
}

void NotifyHandOverWaiters() {
    HandOverQueue& q = Queue();
    { std::lock_guard lock(q.mutex); }
    q.changed.notify_all();
}

}  // namespace vyx
