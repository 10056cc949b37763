// The road when the device misbehaves: lost, refused and damaged replies are
// recovered by the schedule's resend; a device that hangs up in the middle of an
// upload ends the transfer with its failure message without the port layer
// spinning, and the port can still be closed.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "EditorPresets.h"
#include "RoadRig.h"

namespace vyx::test {
namespace {

using namespace std::chrono_literals;

constexpr std::uint64_t ReadRequests = 5;

struct ReadFaultCase {
    const char* name;
    sim::FaultPattern sim::SimOptions::*fault;
    std::uint64_t handledReads;  // memory reads the device answered with data
    std::int32_t nacks;
    friend void PrintTo(const ReadFaultCase& c, std::ostream* out) { *out << c.name; }
};

class ReadFault : public ::testing::TestWithParam<ReadFaultCase> {};

// The first memory read is lost, refused or answered with a bad checksum: the
// read sends it again at its third idle tick and completes.
TEST_P(ReadFault, FirstRequestIsSentAgainAndTheReadCompletes) {
    sim::SimOptions options = RoadDevice();
    (options.*GetParam().fault).first = 1;
    RoadRig rig(options);
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.RunUntilLogged(ReadDoneText, 5s));

    const sim::SimStatus device = rig.Device();
    EXPECT_EQ(device.requestsSeen, ReadRequests + 1);
    EXPECT_EQ(device.memoryReads, GetParam().handledReads);
    EXPECT_EQ(rig.session.Progress().Nacks, GetParam().nacks);
    EXPECT_EQ(rig.host.Editor, DefaultsSnapshot());
    EXPECT_TRUE(rig.host.Messages.empty());
    EXPECT_TRUE(rig.host.Errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    LostRefusedDamaged, ReadFault,
    ::testing::Values(ReadFaultCase{"Dropped", &sim::SimOptions::drop, ReadRequests, 0},
                      ReadFaultCase{"Refused", &sim::SimOptions::nack, ReadRequests, 1},
                      ReadFaultCase{"BadChecksum", &sim::SimOptions::corrupt, ReadRequests + 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The cable is pulled at package 100 of an upload: the port's hang-up ends the
// upload at once, without a failed write or a box, nothing spins, and the port
// is closed with one line.
TEST(HangUp, MidUploadEndsTheTransferAndClosesThePort) {
    sim::SimOptions options = RoadDevice({3, 0, 2, 38});
    options.hangUpAfterPackage = 100;
    RoadRig rig(options);
    ASSERT_TRUE(rig.Connect());
    const double cpuBefore = CpuSeconds();
    ASSERT_TRUE(rig.host.RunUntil([&] { return !rig.host.PortOpen(); }, 10s));
    const double cpu = CpuSeconds() - cpuBefore;

    // The simulator records its hang-up just after dropping the line, which the
    // host may have seen first.
    EXPECT_TRUE(rig.device.WaitFor([](const sim::SimStatus& s) { return s.hungUp; }, 1s));
    EXPECT_TRUE(rig.host.Messages.empty());
    EXPECT_TRUE(rig.host.Errors.empty());
    EXPECT_FALSE(rig.host.TimerEnabled(TimerId::Timer1));
    EXPECT_LT(cpu, 1.0);
    EXPECT_EQ(rig.host.LogTexts().back(), ConnectionLostText);
}

}  // namespace
}  // namespace vyx::test
