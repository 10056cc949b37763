// The headless loop waits on the port's descriptor and its own wake-up.
#include "ComReceivePass.h"
#include "EventSignal.h"
#include "HeadlessWait.h"

namespace vyx {

struct HeadlessWait::State {
    explicit State(TComPort& port) : pass(port) {}
    ComReceivePass pass;
    EventSignal wake;
};

HeadlessWait::HeadlessWait(TComPort& port) : state(std::make_unique<State>(port)) {}

HeadlessWait::~HeadlessWait() = default;

void HeadlessWait::WakeUp() {
    state->wake.Raise();
}

void HeadlessWait::Until(Clock::time_point until) {
    if (state->pass.Wait(static_cast<int>(state->wake.Native()), until)) {
        state->wake.Take();
    }
}

void HeadlessWait::Receive() {
    state->pass.Run();
}

}  // namespace vyx
