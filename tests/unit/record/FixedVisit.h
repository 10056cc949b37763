#pragma once
// One visit with every kind of content, built through the visit's own API: an
// old firmware replaced, the configuration read, changed (speed 100 -> 95 km/h)
// and read back, the port closed. The export tests hold its exact bytes.

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "Visit.h"

namespace vyx::test {

inline ConfigImage ImageOf(std::initializer_list<std::uint8_t> head) {
    ConfigImage image;
    image.fill(0xFF);
    std::copy(head.begin(), head.end(), image.begin());
    return image;
}

// The block a good write puts on the device (PING 180 s, speed 95 km/h, ...).
inline ConfigImage AfterImage() {
    return ImageOf({0xCA, 0xFE, 0xF0, 0xDA, 0x00, 0x1E, 0x01, 0x02, 0x00, 0xB4, 0x04, 0x80, 0x00,
                    0xC0, 0x0B, 0x0B, 0x0B, 0x0B, 0x0B, 0x5F, 0x05, 0x0B, 0x5A, 0x05, 0x0B, 0x11,
                    0x94, 0x0C, 0x0B, 0x06, 0x07, 0x0B, 0x28, 0x03, 0x84, 0x05, 0x00, 0x08, 0x43});
}
// The same with speed 100 km/h and the sum five more.
inline ConfigImage BeforeImage() {
    return ImageOf({0xCA, 0xFE, 0xF0, 0xDA, 0x00, 0x1E, 0x01, 0x02, 0x00, 0xB4, 0x04, 0x80, 0x00,
                    0xC0, 0x0B, 0x0B, 0x0B, 0x0B, 0x0B, 0x64, 0x05, 0x0B, 0x5A, 0x05, 0x0B, 0x11,
                    0x94, 0x0C, 0x0B, 0x06, 0x07, 0x0B, 0x28, 0x03, 0x84, 0x05, 0x00, 0x08, 0x48});
}

inline VisitStep Step(StepKind kind, const char* endedAt) {
    VisitStep step;
    step.Kind = kind;
    step.EndedAt = endedAt;
    return step;
}

inline Visit FixedVisit() {
    VisitHead head;
    head.Uuid = "3f2a6c1e-9b4d-4e7a-8c21-5d0f6e9a7b13";
    head.Door = DoorCli;
    head.ToolVersion = "2.39.C";
    head.Host = "oficina-2";
    head.StartedAt = "2026-12-09T10:29:40-03:00";
    head.Result = ResultOpen;
    Visit visit(head, {}, {});
    visit.SetServiceFields(
        {"Ana Souza", "ABC1D23", "FROTA-042", "=OS 7781", "Troca do chicote;\n\"limite\" 95"});

    DeviceIdentity old;
    old.IdentityMode = 1;
    old.Id = {0x0012ABCD, 0x00000001, 0x5A5A0003};
    old.Version = {4, 0, 2, 30};
    visit.AddStep(IdentifiedStep(old, IdentityVerdict::Older, "2026-12-09T10:29:41-03:00"));
    visit.AddStep(Step(StepKind::UploadStarted, "2026-12-09T10:29:42-03:00"));
    VisitStep uploaded = Step(StepKind::UploadFinished, "2026-12-09T10:29:44-03:00");
    uploaded.Counts = ExchangeCounts{1861, 1861, 2, 1, 0, 0, 0};
    visit.AddStep(uploaded);
    DeviceIdentity now = old;
    now.Version = {4, 0, 2, 39};
    visit.AddStep(IdentifiedStep(now, IdentityVerdict::Current, "2026-12-09T10:29:47-03:00"));
    VisitStep read = Step(StepKind::ConfigRead, "2026-12-09T10:29:48-03:00");
    read.Block = VisitBlock{BeforeImage(), 0, false};
    visit.AddStep(read);
    VisitStep written = Step(StepKind::ConfigWritten, "2026-12-09T10:29:50-03:00");
    written.Block = VisitBlock{AfterImage(), 0, false};
    visit.AddStep(written);
    VisitStep check = Step(StepKind::ConfigReadBack, "2026-12-09T10:29:51-03:00");
    check.Block = VisitBlock{AfterImage(), 0, false};
    visit.AddStep(check);
    visit.AddLogLine("Porta aberta");
    visit.AddLogLine("Versão: 4.0.2.30");
    visit.AddStep(Step(StepKind::Closed, "2026-12-09T10:29:55-03:00"));
    return visit;
}

}  // namespace vyx::test
