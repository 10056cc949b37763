#include <gtest/gtest.h>

#include <vector>

#include "RecordText.h"
#include "VisitRecorder.h"

namespace vyx {
namespace {

IdentifiedDevice Device(std::uint32_t id, FirmwareNeed need) {
    IdentifiedDevice device;
    device.Identity.IdentityMode = 1;
    device.Identity.Id = {id, 1, 3};
    device.Identity.Version = {4, 0, 2, 30};
    device.Need = need;
    return device;
}

// What a port goes through, one letter an outcome: o open, i/j identify device
// 1/2, g a log line, u upload started, c upload cut at 501 of 1861, f upload finished,
// r read, w written, x closed, l lost; s: one visit spans the connections from
// now on, e/E ends it (E: its service failed); digits move the clock on by ten
// seconds each.
struct Played {
    std::vector<std::string> begun;                      // uuids of Begun visits
    std::vector<std::pair<std::string, StepKind>> kept;  // uuid, step kind
    std::vector<std::string> logged;                     // uuid of each log line kept
    std::string result;                                  // the last visit's, as last kept
};

Played Play(std::string_view script) {
    Played run;
    int seconds = 0;
    VisitRecorder::Sink sink;
    sink.Begun = [&](const Visit& visit) { run.begun.push_back(visit.Head().Uuid); };
    sink.Stepped = [&](const Visit& visit, const VisitStep& step) {
        run.kept.emplace_back(visit.Head().Uuid, step.Kind);
        run.result = visit.Head().Result;
    };
    sink.Logged = [&](const Visit& visit, const std::string&) {
        run.logged.push_back(visit.Head().Uuid);
    };
    VisitRecorder recorder(DoorPage, "2.39.C", "", sink, [&] {
        return TimeText(std::chrono::sys_seconds(std::chrono::seconds(1'796'900'000 + seconds)),
                        std::chrono::minutes(-180));
    });
    ExchangeCounters cut;
    cut.At = 501;
    cut.Count = 1861;
    for (const char c : script) {
        switch (c) {
            case 'o':
                recorder.PortOpened();
                break;
            case 'i':
                recorder.Identified(Device(0x12ABCD, FirmwareNeed::Older));
                break;
            case 'j':
                recorder.Identified(Device(0x99, FirmwareNeed::Current));
                break;
            case 'u':
                recorder.ExchangeStarted(Exchange::FirmwareUpload, {});
                break;
            case 'c':
                recorder.ExchangeCutOff({Exchange::FirmwareUpload, cut});
                break;
            case 'f':
                recorder.UploadFinished(cut);
                break;
            case 'r':
                recorder.ConfigurationRead({});
                break;
            case 'w':
                recorder.ConfigurationWritten({}, {});
                break;
            case 'x':
                recorder.ConnectionClosed(CloseCause::Asked);
                break;
            case 'l':
                recorder.ConnectionLost();
                break;
            case 's':
                recorder.SpanConnections();
                break;
            case 'e':
                recorder.End();
                break;
            case 'E':
                recorder.End("outro Vyx na porta");
                break;
            default:
                seconds += 10 * (c - '0');
                break;
        }
    }
    return run;
}

// How many visits a port's outcomes make, and the kinds each one kept.
TEST(VisitRecorder, MakesOneVisitPerConnectionAndContinuesAComeback) {
    using K = StepKind;
    const struct {
        const char* script;
        std::vector<std::vector<K>> visits;
        const char* result = nullptr;  // the last visit's, when it matters
    } cases[] = {
        {"oiufrwx",
         {{K::Identified, K::UploadStarted, K::UploadFinished, K::ConfigRead, K::ConfigWritten,
           K::Closed}}},
        {"oixoix", {{K::Identified, K::Closed}, {K::Identified, K::Closed}}},
        // Back within two minutes after a loss: the same visit, said to be cut.
        {"oiucl9oix",
         {{K::Identified, K::UploadStarted, K::UploadCut, K::Lost, K::Identified, K::Closed}}},
        // Another device (or one too late, which the visit decides): a new visit.
        {"oilogj", {{K::Identified, K::Lost}, {K::Identified}}},
        // Outcomes with no port open are not kept.
        {"ixoix", {{K::Identified, K::Closed}}},
        // A unit served over several connections: one visit, its repeated
        // announcements once, ended by its service.
        {"soixoiufxoirxoiwxe",
         {{K::Identified, K::UploadStarted, K::UploadFinished, K::ConfigRead, K::ConfigWritten,
           K::Closed}},
         "concluída"},
        {"soixojE", {{K::Identified, K::Identified, K::Closed}}, "falhou"},
        {"soiuclE", {{K::Identified, K::UploadStarted, K::UploadCut, K::Lost}}, "interrompida"},
    };
    for (const auto& c : cases) {
        const Played run = Play(c.script);
        std::vector<std::vector<K>> visits(run.begun.size());
        for (const auto& [uuid, kind] : run.kept) {
            for (std::size_t n = 0; n < run.begun.size(); ++n) {
                if (run.begun[n] == uuid) {
                    visits[n].push_back(kind);
                }
            }
        }
        EXPECT_EQ(visits, c.visits) << c.script;
        if (c.result != nullptr) {
            EXPECT_EQ(run.result, c.result) << c.script;
        }
        // A line logged before the device identified itself goes to the visit
        // its identity chose: the last one.
        for (const std::string& uuid : run.logged) {
            EXPECT_EQ(uuid, run.begun.back()) << c.script;
        }
    }
}

// A new visit carries the service fields typed before it; one under way takes them at once.
TEST(VisitRecorder, KeepsTheServiceFieldsForTheFollowingVisits) {
    std::vector<std::string> plates;
    VisitRecorder::Sink sink;
    sink.Begun = [&](const Visit& visit) { plates.push_back(visit.Head().Plate); };
    sink.Changed = [&](const Visit& visit) { plates.push_back(visit.Head().Plate); };
    VisitRecorder recorder(DoorPage, "2.39.C", "", sink);
    recorder.SetServiceFields({"Ana", "ABC1D23", "", "", ""});
    recorder.PortOpened();
    recorder.SetServiceFields({"Ana", "XYZ9K88", "", "", ""});
    recorder.ConnectionClosed(CloseCause::Asked);
    recorder.PortOpened();
    EXPECT_EQ(plates, (std::vector<std::string>{"ABC1D23", "XYZ9K88", "XYZ9K88"}));
}

}  // namespace
}  // namespace vyx
