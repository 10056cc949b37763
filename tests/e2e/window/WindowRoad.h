#pragma once
// The whole road through the real window: simulated devices published in a
// private port folder, the window listing only that folder, and message boxes
// recorded instead of shown. Every wait runs the Qt event loop up to a deadline.

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ModalBox.h"
#include "PortFolder.h"
#include "SimDevice.h"
#include "Unit1.h"

namespace vyx::app::test {

using Clock = std::chrono::steady_clock;

/// Milliseconds since `start`, for the printed road figures.
long long MsSince(Clock::time_point start);

class WindowRoad : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Starts a simulated device whose port is published as `linkName`.
    sim::SimDevice& StartDevice(sim::SimOptions options, const std::string& linkName = "vyx-sim");
    /// Creates the window; its port list shows the test's devices only.
    TForm1& CreateWindow();
    /// Drops the port list down and picks `device`'s port by its name.
    void Select(const sim::SimDevice& device);
    void ClickConnect();

    /// Runs the event loop until `done` holds or `limit` passes; returns `done()`.
    bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit);
    /// Runs the event loop until `Log` holds `text` at least `times` times.
    bool WaitForLog(const char* text, std::chrono::milliseconds limit, int times = 1);
    int CountLogged(const char* text) const;
    QStringList LogLines() const;
    /// No resend seen by the device, no receive fault counted, no box shown.
    void ExpectCleanRoad(const sim::SimDevice& device) const;
    /// Index of the first line of `Log` with exactly `text`, or -1.
    int LineOf(const char* text) const;

    std::vector<BoxRequest> Boxes;
    std::unique_ptr<TForm1> Form;

private:
    vyx::test::PortFolder portFolder;
    QTemporaryDir ttyFolder;  // no terminal devices: only the simulators are listed
    QTemporaryDir programFolder;
    std::vector<std::unique_ptr<sim::SimDevice>> devices;
};

}  // namespace vyx::app::test
