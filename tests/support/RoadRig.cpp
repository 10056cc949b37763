#include "RoadRig.h"

#include <algorithm>

namespace vyx::test {

namespace {

sim::SimOptions InFolder(sim::SimOptions options, const PortFolder& folder) {
    options.portFolder = folder.Path();
    return options;
}

}  // namespace

sim::SimOptions RoadDevice(std::array<std::uint8_t, 4> version) {
    sim::SimOptions options;
    options.version = version;
    options.restartPause = std::chrono::milliseconds(50);
    return options;
}

RoadHost::RoadHost() : session(host, host.Io(), host, [this] { host.CloseSoon(); }) {
    host.OnRxChar = [this](int count) { session.VCPRxChar(count); };
    host.OnTimer1 = [this] { session.Timer1Timer(); };
    host.OnTimer3 = [this] { session.Timer3Timer(); };
    host.OnConnected = [this] { session.PortOpened(); };
    host.OnLost = [this] { session.PortLost(); };
    host.OnClosed = [this](bool timed) { session.PortClosed(timed); };
}

RoadDevicePart::RoadDevicePart(sim::SimOptions options)
    : device(InFolder(std::move(options), folder)) {}

RoadRig::RoadRig(sim::SimOptions options) : RoadDevicePart(std::move(options)) {
    device.Start();
}

bool RoadRig::RunUntilLogged(const std::string& text, std::chrono::milliseconds limit, int times) {
    return host.RunUntil([&] { return CountLogged(text) >= times; }, limit);
}

int RoadRig::CountLogged(const std::string& text) const {
    const auto lines = host.LogTexts();
    return static_cast<int>(std::ranges::count(lines, text));
}

std::int32_t RoadRig::ReceiveFaults() const {
    const TransferProgress& p = session.Progress();
    return p.Nacks + p.Code10 + p.Code15 + p.Code20;
}

}  // namespace vyx::test
