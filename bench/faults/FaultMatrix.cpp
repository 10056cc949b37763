// Every simulated line fault against every operation (read, write, upload),
// through the device session on the headless window stand-in and a simulated
// Vyx on a pseudo-terminal. Prints one table: outcome (completed, or failed with
// the caption shown), requests beyond a clean run's, time, and whether what the
// device stored is exactly what was intended. The rule: nothing stored differs
// from what was intended, every cell ends within its bound, and after a pulled
// cable a new connection reads a device again. Exits 1 when a cell breaks it.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ConfigImage.h"
#include "EditorChecks.h"
#include "EditorPresets.h"
#include "FirmwareImage.h"
#include "RoadRig.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using vyx::sim::SimOptions;
using vyx::test::RoadRig;

enum class Operation { Read, Write, Upload };
constexpr Operation Operations[] = {Operation::Read, Operation::Write, Operation::Upload};

const char* Name(Operation op) {
    return op == Operation::Read ? "read" : op == Operation::Write ? "write" : "upload";
}

// Requests of a clean run: the five memory reads, the 44 packages of a
// configuration block, the 1,861 packages of the firmware image.
std::uint64_t CleanRequests(Operation op) {
    return op == Operation::Read ? 5 : op == Operation::Write ? 5 + 44 : 1861 + 5;
}

// Every how many requests a fault strikes: about six times per operation.
std::uint32_t Every(Operation op) {
    return op == Operation::Read ? 2 : op == Operation::Write ? 8 : 300;
}

// The tick of the timer that drives the operation's resends.
std::chrono::milliseconds Tick(Operation op) {
    return op == Operation::Read ? 100ms : 500ms;
}

// Bound of one cell: far beyond any schedule's give-up time.
std::chrono::milliseconds Limit(Operation op) {
    return op == Operation::Upload ? 120s : 30s;
}

struct Fault {
    const char* name;
    /// Shapes the device for `op`; false when the fault cannot strike that operation.
    std::function<bool(SimOptions&, Operation)> apply;
};

void Delay(SimOptions& o, Operation op, double ticks) {
    o.delayed.every = Every(op);
    o.delayedBy = std::chrono::milliseconds(static_cast<int>(Tick(op).count() * ticks));
}

const Fault Faults[] = {
    {"none", [](SimOptions&, Operation) { return true; }},
    {"drops", [](SimOptions& o, Operation op) { return (o.drop.every = Every(op)), true; }},
    {"negative acks", [](SimOptions& o, Operation op) { return (o.nack.every = Every(op)), true; }},
    {"bad checksums",
     [](SimOptions& o, Operation op) { return (o.corrupt.every = Every(op)), true; }},
    {"other address",
     [](SimOptions& o, Operation op) { return (o.misaddressed.every = Every(op)), true; }},
    {"stray bytes", [](SimOptions& o, Operation op) { return (o.stray.every = Every(op)), true; }},
    {"64-byte chunks",
     [](SimOptions& o, Operation) {
         o.chunkSize = 64;
         o.chunkGap = 1ms;
         return true;
     }},
    {"delay 0.9 tick", [](SimOptions& o, Operation op) { return Delay(o, op, 0.9), true; }},
    {"delay 1.1 ticks", [](SimOptions& o, Operation op) { return Delay(o, op, 1.1), true; }},
    {"delay 3.5 ticks", [](SimOptions& o, Operation op) { return Delay(o, op, 3.5), true; }},
    {"restart mid-read", [](SimOptions& o, Operation) { return (o.restartAtRead = 3), true; }},
    {"cable pulled",
     [](SimOptions& o, Operation op) {
         if (op == Operation::Read) {
             o.hangUpAtRead = 3;
         } else {
             o.hangUpAfterPackage = op == Operation::Write ? 20 : 900;
         }
         return true;
     }},
};

struct Cell {
    std::string outcome;
    std::uint64_t requests = 0;
    double seconds = 0;
    std::string stored;
    bool broken = false;
};

const vyx::ConfigImage& IntendedBlock() {
    static const vyx::ConfigImage block =
        vyx::EncodeConfigImage(*vyx::ValuesFromSnapshot(vyx::CalveraSnapshot())).Image;
    return block;
}

// The caption of the first failure shown, the error that left a handler, or the
// lost connection (a pulled cable ends the exchange with one line and no box).
std::string Failure(const RoadRig& rig) {
    if (!rig.host.Messages.empty()) {
        return "failed: " + rig.host.Messages.front().Caption;
    }
    if (!rig.host.Errors.empty()) {
        return "error: " + rig.host.Errors.front();
    }
    if (rig.CountLogged(vyx::ConnectionLostText) > 0) {
        return "connection lost";
    }
    return {};
}

bool Ended(const RoadRig& rig, const char* text) {
    return rig.CountLogged(text) > 0 || !Failure(rig).empty();
}

// After a pulled cable: a fresh device on a fresh port, and the same tool reads it.
bool Reconnects(RoadRig& rig) {
    SimOptions options = vyx::test::RoadDevice();
    options.portFolder = rig.folder.Path();
    options.linkName = "vyx-sim-again";
    vyx::sim::SimDevice again(options);
    again.Start();
    if (rig.host.PortOpen()) {
        rig.host.Disconnect();
    }
    rig.host.Messages.clear();
    return rig.host.Connect(again.LinkPath()) && rig.RunUntilLogged(vyx::test::ReadDoneText, 10s);
}

Cell Run(const Fault& fault, Operation op) {
    Cell cell;
    SimOptions options =
        vyx::test::RoadDevice(op == Operation::Upload ? std::array<std::uint8_t, 4>{4, 0, 2, 38}
                                                      : std::array<std::uint8_t, 4>{4, 0, 2, 39});
    if (!fault.apply(options, op)) {
        cell.outcome = "-";
        return cell;
    }
    RoadRig rig(options);
    const auto start = Clock::now();
    bool ended = rig.Connect();
    if (op == Operation::Write) {
        ended = ended &&
                rig.host.RunUntil([&] { return Ended(rig, vyx::test::ReadDoneText); }, Limit(op));
        if (ended && Failure(rig).empty()) {
            rig.host.Editor = vyx::CalveraSnapshot();
            rig.session.B_SetConfigClick();
            ended = rig.host.RunUntil([&] { return Ended(rig, vyx::test::TransferDoneText); },
                                      Limit(op));
        }
    } else {
        // An upload ends with the read of the restarted device.
        ended = ended &&
                rig.host.RunUntil([&] { return Ended(rig, vyx::test::ReadDoneText); }, Limit(op));
    }
    cell.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const vyx::sim::SimStatus device = rig.Device();
    cell.requests = device.requestsSeen;

    const std::string failure = Failure(rig);
    cell.outcome = !ended ? "NO END" : failure.empty() ? "completed" : failure;
    cell.broken = !ended;
    switch (op) {
        case Operation::Read:
            cell.stored = rig.host.Editor == vyx::DefaultsSnapshot() ? "editor = block"
                          : failure.empty()                          ? "EDITOR WRONG"
                                                                     : "editor untouched";
            cell.broken = cell.broken || cell.stored == "EDITOR WRONG";
            break;
        case Operation::Write:
            cell.stored = device.configsStored == 0         ? "nothing stored"
                          : device.block == IntendedBlock() ? "identical"
                                                            : "DIFFERENT";
            break;
        case Operation::Upload:
            cell.stored = device.firmwareAccepted == 0 ? "nothing stored"
                          : device.firmwareDigest == vyx::sim::ImageDigest(vyx::FirmwareImage)
                              ? "identical"
                              : "DIFFERENT";
            break;
    }
    cell.broken = cell.broken || cell.stored == "DIFFERENT";
    if (options.hangUpAfterPackage != 0 || options.hangUpAtRead != 0) {
        const bool again = Reconnects(rig);
        cell.stored += again ? ", reconnects" : ", NO RECONNECT";
        cell.broken = cell.broken || !again;
    }
    return cell;
}

}  // namespace

int main() {
    bool broken = false;
    std::printf("%-17s %-7s %-20s %9s %8s  %s\n", "fault", "op", "outcome", "resends", "seconds",
                "stored");
    std::vector<std::uint64_t> clean(std::size(Operations), 0);
    for (const Fault& fault : Faults) {
        for (const Operation op : Operations) {
            const Cell cell = Run(fault, op);
            const auto index = static_cast<std::size_t>(op);
            if (&fault == &Faults[0]) {
                clean[index] = cell.requests;
            }
            if (cell.outcome == "-") {
                std::printf("%-17s %-7s %-20s\n", fault.name, Name(op), "-");
                continue;
            }
            const std::uint64_t baseline = std::max(clean[index], CleanRequests(op));
            std::printf(
                "%-17s %-7s %-20s %9llu %8.2f  %s%s\n", fault.name, Name(op), cell.outcome.c_str(),
                static_cast<unsigned long long>(cell.requests > baseline ? cell.requests - baseline
                                                                         : 0),
                cell.seconds, cell.stored.c_str(), cell.broken ? "  << RULE BROKEN" : "");
            std::fflush(stdout);
            broken = broken || cell.broken;
        }
    }
    return broken ? 1 : 0;
}
