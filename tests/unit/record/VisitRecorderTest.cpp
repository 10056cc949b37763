// The recorder's visits: where one connection ends and the next begins, and the
// steps each keeps, from scripted session outcomes.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "VisitRecorder.h"

namespace vyx {
namespace {

struct SeenSink : VisitSink {
    std::vector<std::string> uuids;  // one per visit begun
    std::vector<std::string> kinds;  // "<visit number>:<kind>" as each step is handed over
    void Began(const Visit& visit) override { uuids.push_back(visit.Head().Uuid); }
    void StepAdded(const Visit& visit, std::size_t index) override {
        kinds.push_back(std::to_string(uuids.size()) + ":" +
                        std::string(StepKindText(visit.Steps()[index].Kind)));
    }
    void LogAdded(const Visit&, std::size_t) override {}
    void HeadChanged(const Visit&) override {}
};

IdentifiedDevice Device(std::uint32_t word0) {
    IdentifiedDevice device;
    device.Identity.IdentityMode = 1;
    device.Identity.Id = {word0, 0x39, 0x56595800};
    device.Identity.Version = {4, 0, 2, 30};
    device.Need = FirmwareNeed::Older;
    return device;
}

struct ComebackCase {
    const char* name;
    bool closed;             // the first connection was closed, not lost
    const char* backAt;      // when the device announces itself again
    std::uint32_t backWord;  // its ID's first word
    std::vector<std::string> kinds;
};

class RecorderComeback : public ::testing::TestWithParam<ComebackCase> {};

TEST_P(RecorderComeback, ContinuesOnlyTheSameDeviceLostShortlyBefore) {
    const ComebackCase& c = GetParam();
    std::string clock = "2026-12-09T10:00:00-03:00";
    SeenSink sink;
    VisitRecorder recorder(DoorWindow, "2.39.C", "bancada", sink, [&] { return clock; });
    recorder.Opened();
    recorder.Identified(Device(0xA1));
    ExchangeCounters counters;
    counters.Count = 1861;
    counters.At = 1;
    recorder.ExchangeStarted(Exchange::FirmwareUpload, counters);
    counters.At = 501;
    recorder.ExchangeCutOff({Exchange::FirmwareUpload, counters});
    clock = "2026-12-09T10:01:00-03:00";
    c.closed ? recorder.ConnectionClosed(CloseCause::Asked) : recorder.ConnectionLost();
    recorder.Opened();
    recorder.Log("Conexão aberta...");
    clock = c.backAt;
    recorder.Identified(Device(c.backWord));

    EXPECT_EQ(sink.kinds, c.kinds);
    EXPECT_EQ(recorder.Current()->Head().Cut.empty(), c.kinds.back()[0] == '2');
    if (c.kinds.back()[0] == '1') {
        EXPECT_EQ(recorder.Current()->Head().Cut,
                  "envio do firmware interrompido no pacote 501 de 1.861");
        EXPECT_EQ(recorder.Current()->LogLines(), std::vector<std::string>{"Conexão aberta..."});
    }
}

const std::vector<std::string> FirstVisit = {"1:identified", "1:upload_started", "1:upload_cut"};

std::vector<std::string> Then(std::vector<std::string> first, std::vector<std::string> more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecorderComeback,
    ::testing::Values(ComebackCase{"BackWithinTwoMinutes", false, "2026-12-09T10:03:00-03:00", 0xA1,
                                   Then(FirstVisit, {"1:lost", "1:identified"})},
                      ComebackCase{"BackAfterTwoMinutes", false, "2026-12-09T10:03:01-03:00", 0xA1,
                                   Then(FirstVisit, {"1:lost", "2:identified"})},
                      ComebackCase{"AnotherDevice", false, "2026-12-09T10:01:10-03:00", 0xB2,
                                   Then(FirstVisit, {"1:lost", "2:identified"})},
                      ComebackCase{"AfterAClose", true, "2026-12-09T10:01:10-03:00", 0xA1,
                                   Then(FirstVisit, {"1:closed", "2:identified"})}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vyx

namespace vyx {
namespace {

// How one exchange's end reads in the visit: its step, and the visit's result
// once the port is closed.
struct EndCase {
    const char* name;
    std::function<void(VisitRecorder&)> end;
    const char* kind;
    const char* result;
};

class RecorderEnd : public ::testing::TestWithParam<EndCase> {};

TEST_P(RecorderEnd, KeepsTheStepAndTheResult) {
    SeenSink sink;
    VisitRecorder recorder(DoorCli, "2.39.C", "", sink,
                           [] { return std::string("2026-12-09T10:00:00-03:00"); });
    recorder.Opened();
    GetParam().end(recorder);
    recorder.ConnectionClosed(CloseCause::Asked);
    ASSERT_EQ(sink.kinds.size(), 2u);
    EXPECT_EQ(sink.kinds[0], std::string("1:") + GetParam().kind);
    EXPECT_EQ(recorder.Current()->Head().Result, GetParam().result);
}

ExchangeFailure Failure(Exchange of, int code) {
    ExchangeFailure failure;
    failure.Of = of;
    failure.Code = code;
    failure.Caption = "ERRO #0x02";
    return failure;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecorderEnd,
    ::testing::Values(
        EndCase{"UploadGivenUp",
                [](VisitRecorder& r) { r.ExchangeFailed(Failure(Exchange::FirmwareUpload, 2)); },
                "upload_failed", "falhou"},
        EndCase{"ReadGivenUp",
                [](VisitRecorder& r) { r.ExchangeFailed(Failure(Exchange::ConfigRead, 3)); },
                "config_read", "falhou"},
        EndCase{"ReadRepaired",
                [](VisitRecorder& r) {
                    ConfigReadResult read;
                    read.Read.Decoded.ErrorCount = 2;
                    read.Repaired = true;
                    r.ConfigurationRead(read);
                },
                "config_read", "concluída"},
        EndCase{"ReadBackDiffers",
                [](VisitRecorder& r) {
                    ReadBackResult back;
                    back.Equal = false;
                    r.ReadBack(back);
                },
                "config_read_back", "falhou"},
        EndCase{"ReadBackEqual",
                [](VisitRecorder& r) {
                    ReadBackResult back;
                    back.Equal = true;
                    r.ReadBack(back);
                },
                "config_read_back", "concluída"},
        EndCase{"WriteCut",
                [](VisitRecorder& r) {
                    r.ExchangeCutOff({Exchange::ConfigWrite, {}});
                },
                "config_written", "falhou"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vyx
