#pragma once
// The process-wide hand-over of work from event threads to the window thread.
//
// An event thread queues a request and blocks until the window thread has run it.
// The window thread runs the queue when the installed wake-up reaches it (the
// window posts a queued call into its event loop) and while it waits for an event
// thread to end. Each request is taken off the queue under the lock and run
// without it, so a handler may pump events: a nested run finds the queue empty (or
// runs other requests) and never blocks. A wake-up that finds nothing queued is a
// no-op.
//
// The queue is process-wide unless a thread takes one of its own: a program that
// serves several devices at once runs one loop per device, each on its own
// thread, and the event threads of the ports a thread opens hand over to that
// thread's queue only.

#include <exception>
#include <functional>
#include <memory>

namespace vyx {

/// One window thread's queue of hand-overs.
struct HandOverQueue;

/// A queue for a thread of its own (see UseHandOverQueue).
std::shared_ptr<HandOverQueue> NewHandOverQueue();
/// Makes every hand-over call of the calling thread use `queue` (null: the
/// process-wide one again). The caller keeps it alive while the thread uses it
/// and while ports opened on this thread are open.
void UseHandOverQueue(HandOverQueue* queue);
/// The queue the calling thread uses: its own, or the process-wide one.
HandOverQueue* CurrentHandOverQueue();

/// Installs the function that tells the window thread to call RunPendingHandOvers()
/// soon. It is called from event threads, once per queued request, and must be
/// thread-safe and return at once. Without one, requests wait until the window
/// thread runs the queue itself.
void SetHandOverWakeUp(std::function<void()> wakeUp);

/// Window thread: runs the requests queued at the time of the call, oldest first.
/// An exception escaping a request is stored for the event thread that queued it.
void RunPendingHandOvers();

/// Event thread: queues `run` and blocks until the window thread has run it;
/// returns what `run` threw (null when nothing). `afterRelease` runs on the
/// window thread right after the event thread has been released.
std::exception_ptr HandOverAndWait(std::function<void()> run, std::function<void()> afterRelease);

/// Window thread: blocks until a request is queued or `done()` holds. `done` is
/// evaluated under the queue's lock; whoever makes it true calls NotifyHandOverWaiters().
void WaitForHandOverOr(const std::function<bool()>& done);
void NotifyHandOverWaiters();

}  // namespace vyx
