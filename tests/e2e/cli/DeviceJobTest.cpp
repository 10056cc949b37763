#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "CliHost.h"
#include "DeviceJob.h"
#include "DeviceRun.h"
#include "EditorPresets.h"
#include "PortFolder.h"
#include "SimDevice.h"

namespace vyx::cli {
namespace {

using namespace std::chrono_literals;
using sim::SimOptions;
using sim::SimStatus;

constexpr std::array<std::uint8_t, 4> Current = {4, 0, 2, 39};
constexpr std::array<std::uint8_t, 4> Older = {3, 0, 2, 38};

// The Calvera preset's record, as the device must store it.
const std::vector<std::uint8_t> CalveraRecord = {
    0xCA, 0xFE, 0xF0, 0xDA, 0x00, 0x1E, 0x01, 0x02, 0x00, 0x3C, 0x04, 0x80, 0x00,
    0xC0, 0x0B, 0x0B, 0x01, 0x01, 0x03, 0x64, 0x0A, 0x03, 0x50, 0x0A, 0x03, 0x11,
    0x94, 0x05, 0x03, 0x01, 0x07, 0x03, 0x28, 0x03, 0x84, 0x05, 0x00, 0x07, 0x88};

std::vector<std::uint8_t> Record(const sim::ConfigBlock& block) {
    return {block.begin(), block.begin() + static_cast<std::ptrdiff_t>(CalveraRecord.size())};
}

// A device in a private folder, answering at once.
struct Device {
    explicit Device(SimOptions options, const char* name = "vyx-sim") {
        options.portFolder = folder.Path();
        options.linkName = name;
        options.restartPause = 50ms;
        device = std::make_unique<sim::SimDevice>(std::move(options));
        device->Start();
    }
    test::PortFolder folder;
    std::unique_ptr<sim::SimDevice> device;
};

struct JobCase {
    const char* name;
    JobKind kind;
    std::array<std::uint8_t, 4> version;
    std::function<void(SimOptions&)> fault;  // empty: a clean link
    int exit;
    std::function<void(const JobResult&, const SimStatus&)> check;
    friend void PrintTo(const JobCase& c, std::ostream* out) { *out << c.name; }
};

class Job : public ::testing::TestWithParam<JobCase> {};

// A pulled cable ends the job with one message that says so, not a write failure.
void ExpectLost(const JobResult& r, const SimStatus&) {
    EXPECT_EQ(r.Message, "a conexão caiu: o cabo foi puxado ou o Vyx foi desconectado");
}

TEST_P(Job, EndsAsTheDeviceAndTheLinkAllow) {
    const JobCase& c = GetParam();
    SimOptions options;
    options.version = c.version;
    if (c.fault) {
        c.fault(options);
    }
    Device device(options);
    JobRequest request;
    request.Kind = c.kind;
    request.Port = device.device->LinkPath();
    request.Listen = 2s;
    request.Profile = CalveraSnapshot();
    if (c.name == std::string("InfoNoAnnouncement")) {
        request.Listen = 100ms;
    }
    const JobResult result = DeviceJob::Run(request, {});
    EXPECT_EQ(result.Exit, c.exit) << result.Message;
    if (c.check) {
        c.check(result, device.device->Status());
    }
}

const JobCase JobCases[] = {
    {"InfoClean",
     JobKind::Info,
     Current,
     {},
     ExitDone,
     [](const JobResult& r, const SimStatus& s) {
         ASSERT_TRUE(r.Identity);
         EXPECT_EQ(r.Identity->Version, Current);
         EXPECT_EQ(s.packagesReceived + s.memoryReads, 0U);  // info asks for nothing
     }},
    {"InfoOperatingMode",
     JobKind::Info,
     Current,
     [](SimOptions& o) { o.operatingMode = true; },
     ExitDeviceFailed,
     {}},
    {"InfoNoAnnouncement",
     JobKind::Info,
     Current,
     [](SimOptions& o) { o.announceDelay = 10s; },
     ExitNoAnnouncement,
     {}},
    {"ReadClean",
     JobKind::Read,
     Current,
     {},
     ExitDone,
     [](const JobResult& r, const SimStatus&) {
         EXPECT_EQ(r.Editor, DefaultsSnapshot());
         EXPECT_FALSE(r.Repaired);
     }},
    {"ReadDropped", JobKind::Read, Current, [](SimOptions& o) { o.drop.first = 2; }, ExitDone,
     [](const JobResult& r, const SimStatus&) { EXPECT_EQ(r.Editor, DefaultsSnapshot()); }},
    {"ReadCorruptIsRepaired", JobKind::Read, Current,
     [](SimOptions& o) { o.block = sim::MakeBlock(sim::BlockKind::Corrupt); }, ExitDone,
     [](const JobResult& r, const SimStatus& s) {
         EXPECT_TRUE(r.Repaired);
         EXPECT_EQ(s.block, sim::MakeBlock(sim::BlockKind::Defaults));
     }},
    {"WriteClean",
     JobKind::Write,
     Current,
     {},
     ExitDone,
     [](const JobResult&, const SimStatus& s) { EXPECT_EQ(Record(s.block), CalveraRecord); }},
    {"WriteNacked", JobKind::Write, Current, [](SimOptions& o) { o.nack.first = 1; }, ExitDone,
     [](const JobResult&, const SimStatus& s) { EXPECT_EQ(Record(s.block), CalveraRecord); }},
    {"WriteOldReleaseRefused",
     JobKind::Write,
     Older,
     {},
     ExitDeviceFailed,
     [](const JobResult& r, const SimStatus& s) {
         EXPECT_NE(r.Message.find("vyxctl flash"), std::string::npos);
         EXPECT_EQ(s.packagesReceived, 0U);
     }},
    {"WriteCablePulled", JobKind::Write, Current, [](SimOptions& o) { o.hangUpAfterPackage = 10; },
     ExitDeviceFailed, ExpectLost},
    {"FlashClean",
     JobKind::Flash,
     Older,
     {},
     ExitDone,
     [](const JobResult& r, const SimStatus& s) {
         ASSERT_TRUE(r.Restarted);
         EXPECT_EQ(r.Restarted->Version, (std::array<std::uint8_t, 4>{3, 0, 2, 39}));
         EXPECT_EQ(s.firmwareAccepted, 1U);
     }},
    {"FlashUpToDateUploadsNothing",
     JobKind::Flash,
     Current,
     {},
     ExitDone,
     [](const JobResult&, const SimStatus& s) { EXPECT_EQ(s.packagesReceived, 0U); }},
    {"FlashCablePulled", JobKind::Flash, Older, [](SimOptions& o) { o.hangUpAfterPackage = 100; },
     ExitDeviceFailed, ExpectLost},
};

INSTANTIATE_TEST_SUITE_P(EachCommand, Job, ::testing::ValuesIn(JobCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct StopCase {
    const char* name;
    JobKind kind;
    std::array<std::uint8_t, 4> version;
    std::chrono::milliseconds announceDelay;
    std::function<bool(const SimStatus&)> stopWhen;
    std::string message;  // "%N": the package at which it stopped
    std::function<void(const SimStatus&)> check;
};

// An interruption stops at the next safe point, says where and what to do, and
// gives the port back: another program opens it at once.
TEST(JobInterrupted, SaysWhereItStoppedAndGivesThePortBack) {
    const StopCase cases[] = {
        {"BeforeTheAnnouncement",
         JobKind::Flash,
         Older,
         10s,
         [](const SimStatus&) { return true; },
         "interrompido antes de o Vyx se anunciar; nada foi feito",
         {}},
        {"MidUpload", JobKind::Flash, Older, 0ms,
         [](const SimStatus& s) { return s.packagesReceived >= 500; },
         "envio do firmware interrompido no pacote %N de 1.861; o Vyx mantém o firmware "
         "antigo; execute flash de novo",
         [](const SimStatus& s) { EXPECT_EQ(s.firmwareAccepted, 0U); }},
        {"MidConfigurationWrite", JobKind::Write, Current, 0ms,
         [](const SimStatus& s) { return s.packagesReceived >= 1; },
         "gravação interrompida no pacote %N de 44; o Vyx mantém a configuração anterior; execute "
         "write de novo",
         [](const SimStatus& s) { EXPECT_EQ(s.block, sim::MakeBlock(sim::BlockKind::Defaults)); }},
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.name);
        SimOptions options;
        options.version = c.version;
        options.announceDelay = c.announceDelay;
        Device device(options);
        JobRequest request;
        request.Kind = c.kind;
        request.Port = device.device->LinkPath();
        request.Profile = CalveraSnapshot();
        request.StopAsked = [&] { return c.stopWhen(device.device->Status()); };
        int lastPosition = 0;
        JobEvents events;
        events.Progress = [&](int position, int) { lastPosition = position; };
        const JobResult result = DeviceJob::Run(request, events);
        EXPECT_EQ(result.Exit, ExitInterrupted);
        std::string expected = c.message;
        if (const auto at = expected.find("%N"); at != std::string::npos) {
            EXPECT_GT(lastPosition, 0);
            expected.replace(at, 2, std::to_string(lastPosition));
        }
        EXPECT_EQ(result.Message, expected);
        if (c.check) {
            c.check(device.device->Status());
        }
        CliHost other;
        EXPECT_FALSE(other.Open(device.device->LinkPath()));
    }
}

TEST(JobPort, AMissingOrBusyPortIsNamedAsSuch) {
    Device device{SimOptions{}};
    CliHost other;
    ASSERT_FALSE(other.Open(device.device->LinkPath()));

    JobRequest request;
    request.Port = device.device->LinkPath();
    JobResult result = DeviceJob::Run(request, {});
    EXPECT_EQ(result.Exit, ExitNoPort);
    EXPECT_NE(result.Message.find("em uso por outro programa"), std::string::npos)
        << result.Message;

    request.Port = device.folder.Path() + "/absent";
    result = DeviceJob::Run(request, {});
    EXPECT_EQ(result.Exit, ExitNoPort);
    EXPECT_EQ(result.Message,
              "A porta " + request.Port +
                  " não existe mais: o Vyx foi desconectado ou a porta mudou de nome.");
}

TEST(DeviceRun, OneDeviceFailingDoesNotStopTheOthers) {
    Device served{SimOptions{}, "a"};
    SimOptions old;
    old.version = Older;
    Device outdated{old, "b"};
    JobRequest request;
    request.Kind = JobKind::Write;
    request.Listen = 2s;
    request.Profile = CalveraSnapshot();
    const auto results =
        DeviceRun::Run(request, {served.device->LinkPath(), outdated.device->LinkPath()});
    ASSERT_EQ(results.size(), 2U);
    EXPECT_EQ(results[0].Result.Exit, ExitDone) << results[0].Result.Message;
    EXPECT_EQ(results[1].Result.Exit, ExitDeviceFailed);
    EXPECT_EQ(Record(served.device->Status().block), CalveraRecord);
    EXPECT_EQ(DeviceRun::Report(results), ExitDeviceFailed);
}

}  // namespace
}  // namespace vyx::cli
