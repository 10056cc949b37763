#include <gtest/gtest.h>

#include "FixedVisit.h"

namespace vyx {
namespace {

using test::Step;

constexpr const char* At = "2026-12-09T10:30:00-03:00";

VisitStep Cut(std::uint32_t package, std::uint32_t packages) {
    VisitStep step = Step(StepKind::UploadCut, At);
    step.Counts = ExchangeCounts{package, packages, 0, 0, 0, 0, 0};
    return step;
}
VisitStep Read(int errors, bool repaired) {
    VisitStep step = Step(StepKind::ConfigRead, At);
    step.Block = VisitBlock{test::BeforeImage(), errors, repaired};
    return step;
}
VisitStep Differs() {
    VisitStep step = Step(StepKind::ConfigReadBack, At);
    step.Difference = "speed.max_kmh";
    return step;
}

// The result and the cut a visit ends with, from the steps it went through.
TEST(Visit, EndsWithTheResultItsStepsGive) {
    const VisitStep identified = Step(StepKind::Identified, At);
    const VisitStep started = Step(StepKind::UploadStarted, At);
    const VisitStep finished = Step(StepKind::UploadFinished, At);
    const VisitStep failed = Step(StepKind::UploadFailed, At);
    const VisitStep written = Step(StepKind::ConfigWritten, At);
    const VisitStep closed = Step(StepKind::Closed, At);
    const VisitStep lost = Step(StepKind::Lost, At);
    const struct {
        const char* name;
        std::vector<VisitStep> steps;
        std::string_view result;
        std::string cut;
    } cases[] = {
        {"read and closed", {identified, Read(0, false), closed}, ResultDone, ""},
        {"cut upload",
         {started, Cut(501, 1861), lost},
         ResultCut,
         "envio do firmware interrompido no pacote 501 de 1.861"},
        {"lost during upload", {started, lost}, ResultCut, "envio do firmware interrompido"},
        {"lost after reading", {identified, Read(0, false), lost}, ResultCut, "conexão perdida"},
        {"closed during upload", {started, closed}, ResultCut, ""},
        {"bad block", {Read(2, false), closed}, ResultFailed, ""},
        {"bad block repaired", {Read(2, true), closed}, ResultDone, ""},
        {"failed then uploaded", {started, failed, started, finished, closed}, ResultDone, ""},
        {"read back differs", {written, Differs(), closed}, ResultFailed, ""},
        {"came back after the cut",
         {started, Cut(501, 1861), lost, identified, started, finished, closed},
         ResultDone,
         "envio do firmware interrompido no pacote 501 de 1.861"},
    };
    for (const auto& c : cases) {
        Visit visit = Visit::Open(DoorWindow, "2.39.C", "host");
        for (const VisitStep& step : c.steps) {
            visit.AddStep(step);
            if (step.Kind != StepKind::Closed && step.Kind != StepKind::Lost) {
                EXPECT_EQ(visit.Head().EndedAt, "") << c.name;  // open again after a loss
                EXPECT_EQ(visit.Head().Result, ResultOpen) << c.name;
            }
        }
        EXPECT_EQ(visit.Head().Result, c.result) << c.name;
        EXPECT_EQ(visit.Head().Cut, c.cut) << c.name;
        EXPECT_EQ(visit.Head().EndedAt, At) << c.name;
    }
}

// A visit whose close was never kept (the tool was killed) still says where.
TEST(Visit, SaysWhereItStopped) {
    const struct {
        std::vector<StepKind> steps;
        std::string where;
    } cases[] = {
        {{StepKind::Identified, StepKind::UploadStarted}, "envio do firmware interrompido"},
        {{StepKind::Identified, StepKind::ConfigRead}, "visita sem fim registrado"},
        {{StepKind::Identified, StepKind::Closed}, ""},
        {{StepKind::UploadStarted, StepKind::Lost}, "envio do firmware interrompido"},
    };
    for (const auto& c : cases) {
        Visit visit = Visit::Open(DoorWindow, "2.39.C", "host");
        for (const StepKind kind : c.steps) {
            visit.AddStep(Step(kind, At));
        }
        EXPECT_EQ(visit.WhereStopped(), c.where);
    }
}

TEST(Visit, IsContinuedBySameDeviceComingBackSoonAfterALoss) {
    const std::string id = "0012ABCD 00000001 5A5A0003";
    const struct {
        StepKind last;
        std::string device;
        std::string at;
        bool continues;
    } cases[] = {
        {StepKind::Lost, id, "2026-12-09T10:32:00-03:00", true},  // two minutes
        {StepKind::Lost, id, "2026-12-09T13:30:30Z", false},      // not a time text
        {StepKind::Lost, id, "2026-12-09T13:30:30+00:00", true},  // another offset
        {StepKind::Lost, id, "2026-12-09T10:32:01-03:00", false},
        {StepKind::Lost, id, "2026-12-09T10:29:59-03:00", false},  // before the loss
        {StepKind::Lost, "0012ABCD 00000001 5A5A0004", "2026-12-09T10:30:10-03:00", false},
        {StepKind::Closed, id, "2026-12-09T10:30:10-03:00", false},
    };
    for (const auto& c : cases) {
        Visit visit = Visit::Open(DoorCli, "2.39.C", "host");
        VisitStep identified = Step(StepKind::Identified, At);
        identified.DeviceId = id;
        visit.AddStep(identified);
        visit.AddStep(Step(c.last, At));
        EXPECT_EQ(visit.ContinuesWith(c.device, c.at), c.continues) << c.at << " " << c.device;
    }
}

TEST(Visit, KeepsTheLogUpToItsCapAndSaysSo) {
    Visit visit = Visit::Open(DoorPage, "2.39.C", "");
    for (std::size_t i = 1; i < Visit::MaxLogLines; ++i) {
        ASSERT_TRUE(visit.AddLogLine("linha " + std::to_string(i)));
    }
    EXPECT_FALSE(visit.AddLogLine("a linha 500"));
    EXPECT_FALSE(visit.AddLogLine("a linha 501"));
    ASSERT_EQ(visit.LogLines().size(), Visit::MaxLogLines);
    EXPECT_EQ(visit.LogLines()[498], "linha 499");
    EXPECT_EQ(visit.LogLines().back(), Visit::LogFullLine);
}

TEST(Visit, RefusesStepsPastItsCapButStillCloses) {
    Visit visit = Visit::Open(DoorCli, "2.39.C", "host");
    for (std::size_t i = 1; i < Visit::MaxSteps; ++i) {
        ASSERT_TRUE(visit.AddStep(Step(StepKind::Identified, At)));
    }
    EXPECT_FALSE(visit.AddStep(Step(StepKind::Identified, At)));
    EXPECT_TRUE(visit.AddStep(Step(StepKind::Closed, At)));
    EXPECT_FALSE(visit.AddStep(Step(StepKind::Closed, At)));
    EXPECT_EQ(visit.Steps().size(), Visit::MaxSteps);
    EXPECT_EQ(visit.Head().Result, ResultDone);
}

}  // namespace
}  // namespace vyx
