#include "TComThread.h"

#include "HandOver.h"
#include "TCustomComPort.h"

namespace vyx {

TComThread::TComThread(TCustomComPort& port, TComEvents events) : port(port), events(events) {
    // The batches go to the thread that opened the port, through its queue.
    thread = std::thread([this, queue = CurrentHandOverQueue()] {
        UseHandOverQueue(queue);
        Execute();
    });
}

TComThread::~TComThread() {
    Stop();
    if (thread.joinable()) {
        WaitFor();
    }
}

void TComThread::Stop() {
    stopRequested = true;
    stopSignal.Raise();
}

void TComThread::WaitFor() {
    while (!ended) {
        RunPendingHandOvers();
        WaitForHandOverOr([this] { return ended.load(); });
    }
    if (thread.joinable()) {
        thread.join();
    }
}

void TComThread::Execute() {
    try {
        Run();
    } catch (...) {
        // An exception from the window thread's processing ends the thread quietly.
        fatal = std::current_exception();
    }
    ended = true;
    NotifyHandOverWaiters();
}

void TComThread::Deliver(bool bytesArrived, bool sawEventChar, TComEvents reported) {
    current = reported;
    if (bytesArrived) {
        current.Include(evRxChar);
        if (sawEventChar) {
            current.Include(evRxFlag);
        }
    }
    // Only the events the port asked for, and only those that have processing.
    TComEvents batch;
    for (TComEvent e : {evRxChar, evRxFlag, evError, evCTS, evDSR, evRLSD}) {
        if (current.Contains(e) && events.Contains(e)) {
            batch.Include(e);
        }
    }
    current = batch;
    if (!current.Empty()) {
        DispatchComMsg();
    }
}

void TComThread::DispatchComMsg() {
    HandOver(&TComThread::DoEvents);
}

void TComThread::DeliverHangUp() {
    if (!stopRequested) {
        HandOver(&TComThread::DoHangUp);
    }
}

void TComThread::HandOver(void (TComThread::*step)()) {
    std::exception_ptr error = HandOverAndWait(
        [this, step] {
            // While the step runs this thread waits for it: a close from inside
            // must not wait for the thread (see TCustomComPort::Close).
            struct Depth {
                int& depth;
                explicit Depth(int& d) : depth(d) { ++depth; }
                ~Depth() { --depth; }
            } scope(dispatchDepth);
            (this->*step)();
        },
        [p = &port] { p->ReapRetiredThreads(); });
    if (error) {
        std::rethrow_exception(error);
    }
}

void TComThread::DoHangUp() {
    if (port.EventThread() == this) {
        port.CallHangUp();
    }
}

void TComThread::DoEvents() {
    // A close from inside a handler retires this thread: the rest of the batch is
    // dropped, as the opening it was meant for is gone. (A batch run while Close
    // waits for the thread still belongs to the open port and is processed whole.)
    const auto step = [this](TComEvent e) {
        return current.Contains(e) && port.EventThread() == this;
    };
    if (step(evError)) {
        port.InputCount();  // reads and clears the line-error state
    }
    if (step(evRxChar)) {
        port.CallRxChar();
    }
    // evTxEmpty, evBreak, evRing, evRxFlag and evRx80Full have no handler of their own.
    if (step(evCTS) || step(evDSR) || step(evRLSD)) {
        port.CheckModemStatus();
    }
}

}  // namespace vyx
