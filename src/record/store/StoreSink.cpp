#include "StoreSink.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

namespace vyx::record {

VisitRecorder::Sink StoreSink(std::function<RecordStore*()> store,
                              std::function<void(const std::string&)> failed) {
    // One write of the store while there is one; a refusal goes to `failed`.
    auto keep = std::make_shared<
        std::function<void(const std::function<std::optional<std::string>(RecordStore&)>&)>>(
        [store = std::move(store), failed = std::move(failed)](
            const std::function<std::optional<std::string>(RecordStore&)>& write) {
            if (RecordStore* kept = store()) {
                if (auto why = write(*kept)) {
                    failed(*why);
                }
            }
        });
    VisitRecorder::Sink sink;
    sink.Begun = [keep](const Visit& visit) {
        (*keep)([&](RecordStore& s) { return s.BeginVisit(visit.Head()); });
    };
    sink.Stepped = [keep](const Visit& visit, const VisitStep& step) {
        // The step is the visit's last: its place counts from 1.
        const auto seq = static_cast<std::int64_t>(visit.Steps().size());
        (*keep)([&](RecordStore& s) {
            auto why = s.AppendStep(visit.Head().Uuid, seq, step.EndedAt, StepKindText(step.Kind),
                                    StepBody(step));
            return why ? why : s.UpdateHead(visit.Head());
        });
    };
    sink.Logged = [keep](const Visit& visit, const std::string& line) {
        (*keep)([&](RecordStore& s) { return s.AppendLog(visit.Head().Uuid, {line}); });
    };
    sink.Changed = [keep](const Visit& visit) {
        (*keep)([&](RecordStore& s) { return s.UpdateHead(visit.Head()); });
    };
    return sink;
}

}  // namespace vyx::record
