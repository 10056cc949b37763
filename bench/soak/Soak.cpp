// Connect, read the configuration, disconnect, over and over against one
// simulated Vyx, with the same tool state throughout. Prints open descriptors,
// threads and resident memory after the first cycle and at the end; exits 1 when
// a cycle fails or descriptors or threads grew.
//   soak [CYCLES]   (default 1000)

#include <dirent.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "RoadRig.h"

namespace {

using namespace std::chrono_literals;

struct Usage {
    int descriptors = 0;
    int threads = 0;
    long residentKb = 0;
};

// The process's own figures, from /proc.
Usage Measure() {
    Usage usage;
    if (DIR* folder = ::opendir("/proc/self/fd")) {
        while (const dirent* entry = ::readdir(folder)) {
            usage.descriptors += entry->d_name[0] != '.';
        }
        ::closedir(folder);
        --usage.descriptors;  // the one opendir holds
    }
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "Threads:") {
            status >> usage.threads;
        } else if (key == "VmRSS:") {
            status >> usage.residentKb;
        }
        status.ignore(1 << 10, '\n');
    }
    return usage;
}

void Print(const char* when, int cycle, const Usage& usage) {
    std::printf("%-6s cycle %5d: %3d descriptors, %2d threads, %6ld KB resident\n", when, cycle,
                usage.descriptors, usage.threads, usage.residentKb);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 1000;
    if (cycles < 1) {
        std::fprintf(stderr, "usage: %s [CYCLES]\n", argv[0]);
        return 2;
    }
    vyx::test::RoadRig rig(vyx::test::RoadDevice());
    Usage first;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        // The log is emptied at each open, so one finished read is this cycle's.
        if (!rig.Connect() || !rig.RunUntilLogged(vyx::test::ReadDoneText, 10s) ||
            !rig.host.Messages.empty() || !rig.host.Errors.empty()) {
            std::printf("cycle %d did not read the device\n", cycle);
            return 1;
        }
        rig.host.Disconnect();
        if (!rig.host.RunUntil([&] { return !rig.Device().portOpen; }, 5s)) {
            std::printf("cycle %d: the device did not see the port close\n", cycle);
            return 1;
        }
        if (cycle == 1) {
            first = Measure();
            Print("start", cycle, first);
        }
    }
    const Usage last = Measure();
    Print("end", cycles, last);
    std::printf("resident growth: %ld KB over %d cycles\n", last.residentKb - first.residentKb,
                cycles - 1);
    return last.descriptors > first.descriptors || last.threads > first.threads ? 1 : 0;
}
