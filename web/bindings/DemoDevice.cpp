#include "DemoDevice.h"

#include <algorithm>
#include <utility>

namespace vyx::web {

namespace {

// The release before the one the tool carries: its devices get the firmware.
constexpr std::uint8_t OldReleaseMinor = 38;

}  // namespace

sim::SimOptions DemoOptions(const DemoChoices& choices) {
    sim::SimOptions options;
    if (choices.oldRelease) {
        options.version[3] = OldReleaseMinor;
    }
    options.operatingMode = choices.operatingMode;
    options.chunkSize = choices.chunkSize;
    options.hangUpAfterPackage = choices.hangUpAfterPackage;
    options.textB = "DEMO";
    return options;
}

DemoDevice::DemoDevice(sim::SimOptions chosen)
    : options(std::move(chosen)), model(options), output(options.chunkSize, options.chunkGap) {}

void DemoDevice::Opened(Clock::time_point now) {
    if (open) {
        return;
    }
    if (HungUp()) {
        // Opened again after the hang-up: the cable is back in, and it was pulled once.
        model.Status().hungUp = false;
        options.hangUpAfterPackage = 0;
    }
    open = true;
    nextAnnouncement = now + options.announceDelay;
    model.PortOpened();
    model.Status().portOpen = true;
    ++model.Status().opens;
}

void DemoDevice::Closed() {
    open = false;
    assembler.Reset();
    output.Clear();
    model.Status().portOpen = false;
}

void DemoDevice::Receive(std::span<const std::uint8_t> bytes, Clock::time_point now) {
    if (!open) {
        return;
    }
    for (const auto& frame : assembler.Feed(bytes, now)) {
        sim::DeviceModel::Outcome outcome = model.HandleFrame(frame);
        model.Status().bytesDiscarded = assembler.Discarded();
        if (outcome.hangUp) {
            Closed();
            model.Status().hungUp = true;
            hangUpNotice = now;
            return;
        }
        const Clock::time_point due = now + options.replyDelay + outcome.delay;
        for (auto& reply : outcome.replies) {
            output.Push(std::move(reply), due);
        }
        if (outcome.restart) {
            restartDue = due + options.restartPause;
        }
    }
}

std::vector<DemoDevice::Chunk> DemoDevice::Due(Clock::time_point now) {
    hangUpNotice.reset();
    if (restartDue && now >= *restartDue) {
        restartDue.reset();
        model.FinishRestart();
        nextAnnouncement = now;
    }
    if (!open) {
        return {};
    }
    if (Announcing() && now >= nextAnnouncement) {
        output.Push(model.Announcement(), now);
        ++model.Status().announcements;
        nextAnnouncement = now + options.announceInterval;
    }
    return output.TakeDue(now);
}

std::optional<DemoDevice::Clock::time_point> DemoDevice::NextDue() const {
    std::optional<Clock::time_point> next = restartDue ? restartDue : hangUpNotice;
    auto consider = [&next](Clock::time_point at) { next = next ? std::min(*next, at) : at; };
    if (open) {
        if (const auto due = output.NextDue()) {
            consider(*due);
        }
        if (Announcing()) {
            consider(nextAnnouncement);
        }
    }
    return next;
}

bool DemoDevice::Announcing() const {
    return !model.Status().spokenTo && !model.Status().restarting;
}

}  // namespace vyx::web
