// A thread with a hand-over queue of its own gets the notifications of the
// ports it opened, and no other thread can run them.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "Cport.h"
#include "PtyPair.h"
#include "ToolPort.h"

namespace vyx::test {
namespace {

using namespace std::chrono_literals;

TEST(HandOverQueue, APortsNotificationsRunOnTheThreadThatOpenedIt) {
    PtyPair device;
    std::atomic<bool> opened{false};
    std::atomic<bool> handled{false};
    std::atomic<bool> stop{false};
    std::thread::id handlerThread;
    std::thread::id ownerThread;

    std::thread owner([&] {
        const auto queue = NewHandOverQueue();
        UseHandOverQueue(queue.get());
        ownerThread = std::this_thread::get_id();
        TComPort port;
        UseToolSettings(port, device.SlavePath());
        port.SetEvents(TComEvents{evRxChar});
        port.OnRxChar = [&](TCustomComPort& p, std::int32_t count) {
            std::uint8_t bytes[16];
            p.Read(bytes, std::min<std::int32_t>(count, sizeof bytes));
            handlerThread = std::this_thread::get_id();
            handled = true;
        };
        port.Open();
        opened = true;
        // This thread's loop: only its own queue is looked at.
        while (!stop) {
            RunPendingHandOvers();
            std::this_thread::sleep_for(1ms);
        }
        port.Close();
        UseHandOverQueue(nullptr);
    });

    while (!opened) {
        std::this_thread::sleep_for(1ms);
    }
    device.Send({0xBC});
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (!handled && std::chrono::steady_clock::now() < deadline) {
        RunPendingHandOvers();  // the process-wide queue: never the owner's requests
        std::this_thread::sleep_for(1ms);
    }
    stop = true;
    owner.join();
    ASSERT_TRUE(handled);
    EXPECT_EQ(handlerThread, ownerThread);
}

}  // namespace
}  // namespace vyx::test
