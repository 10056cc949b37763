// Receive path of the serial port against a pseudo-terminal: how soon a whole
// message reaches the handler, whether a message arriving in 64-byte USB-sized
// chunks 1 ms apart reaches it in one call, and what an idle open port costs.
// Prints the numbers; exits 1 when one is over its budget.
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "Cport.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto WholeMessageBudget = 2ms;  // median, write to handler
constexpr double IdleCpuBudget = 0.01;    // of one core

// The first byte says how many follow.
bool Complete(const std::uint8_t* bytes, std::size_t count) {
    return count > 0 && count >= 1u + bytes[0];
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Bench {
    int master = -1;
    vyx::TComPort port;
    std::mutex mutex;
    std::condition_variable woken;
    int wakeUps = 0;
    std::vector<std::int32_t> counts;
    Clock::time_point lastCall;

    Bench() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
            std::perror("pseudo-terminal");
            std::exit(2);
        }
        vyx::SetHandOverWakeUp([this] {
            std::lock_guard lock(mutex);
            ++wakeUps;
            woken.notify_all();
        });
        port.SetPort(::ptsname(master));
        port.SetBaudRate(vyx::brCustom);
        port.SetCustomBaudRate(3686400);
        port.SetFrameCompleteHint(Complete);
        port.OnRxChar = [this](vyx::TCustomComPort& sender, std::int32_t count) {
            lastCall = Clock::now();
            std::vector<std::uint8_t> bytes(count);
            sender.Read(bytes.data(), count);
            counts.push_back(count);
        };
        port.Open();
    }
    ~Bench() {
        port.Close();
        vyx::SetHandOverWakeUp({});
        ::close(master);
    }

    void Send(const std::uint8_t* bytes, std::size_t count) {
        if (::write(master, bytes, count) != static_cast<ssize_t>(count)) {
            std::perror("write");
            std::exit(2);
        }
    }
    // Runs the window side until `calls` notifications arrived.
    void PumpUntil(std::size_t calls) {
        const auto deadline = Clock::now() + 5s;
        while (counts.size() < calls && Clock::now() < deadline) {
            vyx::RunPendingHandOvers();
            std::unique_lock lock(mutex);
            const int seen = wakeUps;
            woken.wait_for(lock, 1ms, [&] { return wakeUps != seen; });
        }
    }
};

}  // namespace

int main() {
    Bench bench;
    bool ok = true;

    std::vector<std::uint8_t> frame(12, 0x55);
    frame[0] = 11;
    std::vector<double> latencies;
    for (int i = 0; i < 200; ++i) {
        const auto sent = Clock::now();
        bench.Send(frame.data(), frame.size());
        bench.PumpUntil(bench.counts.size() + 1);
        latencies.push_back(
            std::chrono::duration<double, std::milli>(bench.lastCall - sent).count());
    }
    std::sort(latencies.begin(), latencies.end());
    const double median = latencies[latencies.size() / 2];
    std::printf("whole 12-byte message, write to handler: median %.3f ms, 95th %.3f ms\n", median,
                latencies[latencies.size() * 95 / 100]);
    ok = ok && median <= std::chrono::duration<double, std::milli>(WholeMessageBudget).count();

    std::vector<std::uint8_t> reply(406, 0xAA);
    reply[0] = 255;  // a 256-byte message followed by a 150-byte one
    reply[256] = 149;
    const std::size_t before = bench.counts.size();
    int split = 0;
    for (int i = 0; i < 30; ++i) {
        const std::size_t start = bench.counts.size();
        std::thread device([&] {
            for (std::size_t at = 0; at < reply.size(); at += 64) {
                bench.Send(reply.data() + at, std::min<std::size_t>(64, reply.size() - at));
                std::this_thread::sleep_for(1ms);
            }
        });
        bench.PumpUntil(start + 1);
        device.join();
        bench.PumpUntil(start + 1);
        std::int32_t total = 0;
        for (std::size_t c = start; c < bench.counts.size(); ++c) {
            total += bench.counts[c];
        }
        while (total < static_cast<std::int32_t>(reply.size())) {
            bench.PumpUntil(bench.counts.size() + 1);
            total += bench.counts.back();
        }
        split += bench.counts[start] < 256 ? 1 : 0;  // the first message came in parts
    }
    std::printf("406 bytes in 64-byte chunks 1 ms apart: %d of 30 split a message, %zu calls\n",
                split, bench.counts.size() - before);
    ok = ok && split == 0;

    const double cpuBefore = CpuSeconds();
    std::this_thread::sleep_for(1s);
    const double idle = CpuSeconds() - cpuBefore;
    std::printf("idle open port: %.2f %% of one core\n", idle * 100);
    ok = ok && idle <= IdleCpuBudget;

    std::printf(ok ? "within budget\n" : "OVER BUDGET\n");
    return ok ? 0 : 1;
}
