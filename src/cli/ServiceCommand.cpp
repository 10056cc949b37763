#include <algorithm>
#include <cstdio>
#include <thread>

#include "CliCommands.h"
#include "DeviceRun.h"
#include "Plan.h"
#include "ProfileDiff.h"
#include "ProgressReporter.h"
#include "Terminal.h"

namespace vyx::cli {

namespace {

constexpr const char* AlreadyThereText = "já estava conforme o perfil";

// The profile each unit gets: the one given, or its row of the plan.
struct Assignment {
    std::optional<EditorSnapshot> Profile;
    std::optional<Plan> ThePlan;

    const EditorSnapshot* For(const DeviceId& id) const {
        if (Profile) {
            return &*Profile;
        }
        const PlanRow* row = ThePlan->For(id);
        return row != nullptr ? &row->Profile : nullptr;
    }
};

std::string WrittenText(std::size_t count) {
    return std::to_string(count) +
           (count == 1 ? " chave gravada e conferida" : " chaves gravadas e conferidas");
}

// One unit's whole visit, each step a job of its own on the port: identify,
// upload the firmware when older, read, write when it differs (the write reads
// back and compares). Every step must meet the unit that the first one met.
class Visit {
public:
    Visit(const CliOptions& options, const Assignment& assignment, std::string port,
          JobEvents events)
        : options(options),
          assignment(assignment),
          events(std::move(events)),
          fields(options.Fields) {
        outcome.Port = std::move(port);
    }

    PortResult Run() {
        JobResult identified = Step(JobKind::Info);
        if (identified.Exit != ExitDone) {
            return End(std::move(identified));
        }
        outcome.Result.Identity = identified.Identity;
        const DeviceId& id = identified.Identity->Id;
        const EditorSnapshot* profile = assignment.For(id);
        // The plan's fields for this unit win over the command line's.
        if (const PlanRow* row = assignment.ThePlan ? assignment.ThePlan->For(id) : nullptr) {
            for (auto [typed, planned] : {std::pair{&fields.Plate, &row->Fields.Plate},
                                          {&fields.Vin, &row->Fields.Vin},
                                          {&fields.WorkOrder, &row->Fields.WorkOrder},
                                          {&fields.Note, &row->Fields.Note}}) {
                if (!planned->empty()) {
                    *typed = *planned;
                }
            }
        }
        if (profile == nullptr) {
            return Finish(ExitDeviceFailed, OutsidePlanText(id) + "; não foi tocado");
        }
        if (DecideIdentityAction(identified.Identity->Version) == IdentityAction::UploadFirmware) {
            JobResult flashed = Step(JobKind::Flash);
            if (flashed.Exit != ExitDone) {
                return End(std::move(flashed));
            }
            outcome.Result.Restarted = flashed.Restarted;
            if (flashed.Restarted->Id != id) {
                return Finish(ExitDeviceFailed, "depois de reiniciar o Vyx anunciou outro ID, " +
                                                    IdText(flashed.Restarted->Id) +
                                                    "; parado sem gravar");
            }
            done = "firmware " + VersionText(identified.Identity->Version) + " → " +
                   VersionText(flashed.Restarted->Version) + "; ";
        }
        JobResult read = Step(JobKind::Read);
        if (read.Exit != ExitDone || !SameUnit(read)) {
            return End(std::move(read));
        }
        if (read.Repaired) {
            done += "o bloco foi rejeitado e trocado pela configuração padrão; ";
        }
        Changes = ProfileDiffLines(read.Editor, *profile);
        if (Changes.empty()) {
            return Finish(ExitDone, done + AlreadyThereText);
        }
        JobRequest write = Request(JobKind::Write);
        write.Profile = *profile;
        write.RecordLines[outcome.Port] = Changes;
        JobResult written = DeviceJob::Run(write, events);
        if (written.Exit != ExitDone || !SameUnit(written)) {
            return End(std::move(written));
        }
        return Finish(ExitDone, done + WrittenText(Changes.size()));
    }

    /// What the write changed (or would have), in diff's lines.
    std::vector<std::string> Changes;

private:
    JobRequest Request(JobKind kind) const {
        JobRequest request;
        request.Kind = kind;
        request.Port = outcome.Port;
        request.Listen = options.Listen;
        request.Fields = fields;
        return request;
    }

    JobResult Step(JobKind kind) { return DeviceJob::Run(Request(kind), events); }

    // Another unit on the port since the visit began is never written.
    bool SameUnit(JobResult& step) {
        const auto& expected =
            outcome.Result.Restarted ? outcome.Result.Restarted : outcome.Result.Identity;
        if (!step.Identity || step.Identity->Id == expected->Id) {
            return true;
        }
        step.Exit = ExitDeviceFailed;
        step.Message = "outro Vyx na porta, " + IdText(step.Identity->Id) + "; parado";
        return false;
    }

    // A step that did not end well ends the visit with its own words, after
    // what was already done.
    PortResult End(JobResult step) {
        if (!outcome.Result.Identity) {
            outcome.Result.Identity = step.Identity;
        }
        return Finish(step.Exit, done + step.Message);
    }

    PortResult Finish(int exit, std::string message) {
        outcome.Result.Exit = exit;
        outcome.Result.Message = std::move(message);
        return outcome;
    }

    const CliOptions& options;
    const Assignment& assignment;
    JobEvents events;
    // What the unit's visits record of its vehicle and job.
    vyx::ServiceFields fields;
    PortResult outcome;
    std::string done;
};

bool LoadAssignment(const CliOptions& options, Assignment& assignment) {
    if (options.File.empty() == options.Plan.empty()) {
        std::fprintf(stderr, "vyxctl service: dê um perfil ou --plan PLANO, um dos dois\n");
        return false;
    }
    if (!options.File.empty()) {
        assignment.Profile = LoadProfileArgument(options.File);
        return assignment.Profile.has_value();
    }
    PlanResult plan = Plan::Load(options.Plan);
    for (const std::string& error : plan.Errors) {
        std::fprintf(stderr, "%s\n", error.c_str());
    }
    assignment.ThePlan = std::move(plan.Checked);
    return assignment.ThePlan.has_value();
}

}  // namespace

int ServiceCommand(const CliOptions& options) {
    // The whole plan is checked before any unit is touched.
    Assignment assignment;
    if (!LoadAssignment(options, assignment)) {
        return ExitBadUsage;
    }
    const PortChoice chosen = DeviceRun::ResolvePorts(options);
    if (chosen.Empty()) {
        return chosen.Exit;
    }
    const std::vector<std::string>& ports = chosen.Ports;
    ProgressReporter reporter(stderr, RedrawsInPlace(stderr, ports.size()), ports);
    std::vector<PortResult> results(ports.size());
    std::vector<std::vector<std::string>> changes(ports.size());
    auto serve = [&](std::size_t row) {
        JobEvents events;
        events.Log = [&, row](const std::string& text, bool red) { reporter.Log(row, text, red); };
        events.Progress = [&, row](int position, int maximum) {
            reporter.Progress(row, position, maximum);
        };
        Visit visit(options, assignment, ports[row], std::move(events));
        results[row] = visit.Run();
        changes[row] = std::move(visit.Changes);
    };
    std::vector<std::thread> threads;
    for (std::size_t row = 0; row < ports.size(); ++row) {
        threads.emplace_back(serve, row);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (std::size_t row = 0; row < ports.size(); ++row) {
        for (const std::string& line : changes[row]) {
            std::printf("%s: %s\n", OneLine(ports[row]).c_str(), line.c_str());
        }
    }
    results.insert(results.end(), chosen.Finished.begin(), chosen.Finished.end());
    std::sort(results.begin(), results.end(),
              [](const PortResult& a, const PortResult& b) { return a.Port < b.Port; });
    return DeviceRun::Report(results);
}

}  // namespace vyx::cli
