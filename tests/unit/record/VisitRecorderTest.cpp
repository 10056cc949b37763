#include "VisitRecorder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vyx {
namespace {

IdentifiedDevice Device(FirmwareNeed need, std::uint8_t mode = 1) {
    IdentifiedDevice device;
    device.Identity.IdentityMode = mode;
    device.Identity.Id = {0x00A1B2C3, 0x00000039, 0x56595800};
    device.Identity.Version = {4, 0, 2, 38};
    device.Need = need;
    return device;
}

ExchangeCounters Counters(std::uint32_t at, std::uint32_t count) {
    ExchangeCounters counters;
    counters.At = at;
    counters.Count = count;
    counters.Resends = 3;
    counters.Nacks = 1;
    return counters;
}

// Each connection's outcomes, the steps they leave and how the visit reads.
TEST(VisitRecorder, OutcomesBecomeStepsAndTheVisitsEnd) {
    const struct {
        const char* name;
        std::function<void(SessionEvents&)> play;
        std::vector<StepKind> steps;
        std::string result;
        std::string cut;
    } cases[] = {
        {"upload cut by a pulled cable",
         [](SessionEvents& s) {
             s.Identified(Device(FirmwareNeed::Older));
             s.ExchangeStarted(Exchange::FirmwareUpload, Counters(1, 1861));
             s.ExchangeCutOff({Exchange::FirmwareUpload, Counters(501, 1861)});
             s.ConnectionLost();
         },
         {StepKind::Identified, StepKind::UploadStarted, StepKind::UploadCut, StepKind::Lost},
         "interrompida",
         "envio do firmware interrompido no pacote 501 de 1.861"},
        {"upload given up",
         [](SessionEvents& s) {
             s.Identified(Device(FirmwareNeed::Older));
             s.ExchangeStarted(Exchange::FirmwareUpload, Counters(1, 1861));
             s.ExchangeFailed(
                 {Exchange::FirmwareUpload, 2, "ERRO #0x02", "sem resposta", Counters(7, 1861)});
             s.ConnectionClosed(CloseCause::Asked);
         },
         {StepKind::Identified, StepKind::UploadStarted, StepKind::UploadFailed, StepKind::Closed},
         "falhou",
         ""},
        {"read, then closed",
         [](SessionEvents& s) {
             s.Identified(Device(FirmwareNeed::Current));
             s.ExchangeStarted(Exchange::ConfigRead, Counters(1, 5));
             s.ConfigurationRead({});
             s.ConnectionClosed(CloseCause::Asked);
         },
         {StepKind::Identified, StepKind::ConfigRead, StepKind::Closed},
         "concluída",
         ""},
        {"written, read back different",
         [](SessionEvents& s) {
             s.Identified(Device(FirmwareNeed::Current));
             s.ConfigurationWritten({}, Counters(3, 3));
             s.ReadBack({{}, {}, false, "speed.max_kmh: gravado 95, lido de volta 90"});
             s.ConnectionClosed(CloseCause::AfterWrite);
         },
         {StepKind::Identified, StepKind::ConfigWritten, StepKind::ConfigReadBack,
          StepKind::Closed},
         "falhou",
         ""},
        {"operating mode, lost after a read",
         [](SessionEvents& s) {
             s.Identified(Device(FirmwareNeed::Current, 0));
             s.ConfigurationRead({});
             s.ConnectionLost();
         },
         {StepKind::Identified, StepKind::ConfigRead, StepKind::Lost},
         "interrompida",
         "conexão perdida"},
    };
    for (const auto& c : cases) {
        std::vector<std::size_t> stored;
        VisitRecorder recorder(Visit::Open(DoorCli, "2.39.C", "oficina"),
                               {[&](const Visit&, std::size_t seq) { stored.push_back(seq); }, {}});
        c.play(recorder);
        const Visit& visit = recorder.Current();
        std::vector<StepKind> kinds;
        for (const VisitStep& step : visit.Steps()) {
            kinds.push_back(step.Kind);
        }
        EXPECT_EQ(kinds, c.steps) << c.name;
        EXPECT_EQ(stored.size(), c.steps.size()) << c.name;
        EXPECT_EQ(stored.back(), c.steps.size()) << c.name;
        EXPECT_EQ(visit.Head().Result, c.result) << c.name;
        EXPECT_EQ(visit.Head().Cut, c.cut) << c.name;
        EXPECT_EQ(visit.Head().DeviceId, "00A1B2C3 00000039 56595800") << c.name;
    }
}

TEST(VisitRecorder, FailureKeepsItsCodeCountersAndText) {
    VisitRecorder recorder(Visit::Open(DoorCli, "2.39.C", ""), {});
    ExchangeCounters counters = Counters(7, 1861);
    counters.StrayBytes = 2;
    recorder.ExchangeFailed({Exchange::FirmwareUpload, 2, "ERRO #0x02", "sem resposta", counters});
    const VisitStep& step = recorder.Current().Steps().back();
    EXPECT_EQ(step.FailureCode, 2);
    EXPECT_EQ(step.Failure, "ERRO #0x02: sem resposta");
    EXPECT_EQ(step.Counts, (ExchangeCounts{7, 1861, 3, 1, 0, 0, 2}));
}

TEST(VisitRecorder, LogLinesReachTheStoreUpToTheCap) {
    std::size_t kept = 0;
    std::string last;
    VisitRecorder recorder(Visit::Open(DoorCli, "2.39.C", ""),
                           {{}, [&](const Visit&, const std::string& line) {
                                ++kept;
                                last = line;
                            }});
    for (std::size_t i = 0; i < Visit::MaxLogLines + 10; ++i) {
        recorder.Log("Conexão aberta...");
    }
    EXPECT_EQ(kept, Visit::MaxLogLines);
    EXPECT_EQ(last, Visit::LogFullLine);
}

}  // namespace
}  // namespace vyx
