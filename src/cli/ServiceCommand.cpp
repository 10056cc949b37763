#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "CliCommands.h"
#include "CliRecord.h"
#include "DeviceRun.h"
#include "EComPort.h"
#include "Interruption.h"
#include "Plan.h"
#include "PortArrival.h"
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
    /// Asked once the unit is identified: why it must not be served now, or
    /// nothing to go on.
    using Claim = std::function<std::optional<std::string>(const DeviceId&)>;

    Visit(const CliOptions& options, const Assignment& assignment, std::string port,
          JobEvents events, Claim claim = {})
        : options(options),
          assignment(assignment),
          events(std::move(events)),
          claim(std::move(claim)),
          fields(options.Fields) {
        outcome.Port = std::move(port);
    }

    PortResult Run() {
        // Who is on the port is asked first, unrecorded: a unit refused here
        // leaves no visit; the others' visit begins with this connection.
        JobEvents asking = events;
        asking.Log = [this](const std::string& text, bool red) {
            announced.push_back(text);
            if (events.Log) {
                events.Log(text, red);
            }
        };
        JobRequest ask = Request(JobKind::Info);
        ask.Record = false;
        JobResult identified = DeviceJob::Run(ask, asking);
        if (identified.Exit != ExitDone) {
            Begin(identified.Identity);
            return End(std::move(identified));
        }
        outcome.Result.Identity = identified.Identity;
        const DeviceId& id = identified.Identity->Id;
        if (claim) {
            if (std::optional<std::string> refusal = claim(id)) {
                Refused = true;
                return Finish(ExitDone, std::move(*refusal));
            }
        }
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
        Begin(identified.Identity);
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
        record->Log(Changes);
        JobRequest write = Request(JobKind::Write);
        write.Profile = *profile;
        JobResult written = DeviceJob::Run(write, events);
        if (written.Exit != ExitDone || !SameUnit(written)) {
            return End(std::move(written));
        }
        return Finish(ExitDone, done + WrittenText(Changes.size()));
    }

    /// What the write changed (or would have), in diff's lines.
    std::vector<std::string> Changes;
    /// The claim refused the unit: it was identified and nothing else.
    bool Refused = false;

private:
    JobRequest Request(JobKind kind) const {
        JobRequest request;
        request.Kind = kind;
        request.Port = outcome.Port;
        request.Listen = options.Listen;
        request.Fields = fields;
        if (record) {
            request.Visits[outcome.Port] = record;
        }
        return request;
    }

    // The unit's visit, from the connection that identified it: its log and
    // its identity as that connection heard them.
    void Begin(const std::optional<DeviceIdentity>& identity) {
        if (!identity) {
            return;  // no Vyx, or it went before it spoke: nothing to record
        }
        record = std::make_shared<CliRecord>(fields, true);
        VisitRecorder& recorder = record->Recorder();
        recorder.PortOpened();
        for (const std::string& line : announced) {
            recorder.LogLine(line);
        }
        recorder.Identified({*identity, NeedOf(identity->Version)});
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
        if (record) {
            record->Recorder().End(exit == ExitDone ? "" : OneLine(outcome.Result.Message));
        }
        return outcome;
    }

    const CliOptions& options;
    const Assignment& assignment;
    JobEvents events;
    Claim claim;
    // What the unit's visits record of its vehicle and job.
    vyx::ServiceFields fields;
    PortResult outcome;
    std::string done;
    std::vector<std::string> announced;  // the identifying connection's log
    std::shared_ptr<CliRecord> record;
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

// How often the watch looks whether Ctrl+C asked it to stop (the signal only
// raises a flag); new ports wake it at once.
constexpr std::chrono::milliseconds StopLook(200);

constexpr const char* Bell = "\a";

// `vyxctl service --watch`: every port that appears is visited on a thread of
// its own. A unit is known by its device ID once identified, by its port
// before: a port that comes back before it spoke is visited anew.
class Watch {
public:
    Watch(const CliOptions& options, const Assignment& assignment)
        : options(options), assignment(assignment) {}

    int Run() {
        std::unique_ptr<PortArrival> arrival;
        try {
            arrival = std::make_unique<PortArrival>();
        } catch (const EComPort& e) {
            std::fprintf(stderr, "vyxctl: as portas não podem ser listadas: %s\n", e.what());
            return ExitNoPort;
        }
        std::fprintf(stderr, "vyxctl: atendendo cada Vyx que aparecer; Ctrl+C encerra\n");
        for (const std::string& port : arrival->Present()) {
            Appeared(port);
        }
        while (!Interruption::Requested()) {
            const PortChanges changes = arrival->Wait(StopLook);
            std::lock_guard lock(mutex);
            for (const std::string& port : changes.Vanished) {
                present.erase(port);
                std::fprintf(stderr, "%s: desconectado\n", OneLine(port).c_str());
            }
            for (const std::string& port : changes.Appeared) {
                AppearedLocked(port);
            }
            JoinEnded();
        }
        // Each visit under way stops at its next safe point and says where.
        std::map<std::string, std::thread> running;
        {
            std::lock_guard lock(mutex);
            running.swap(visits);
        }
        for (auto& [port, thread] : running) {
            thread.join();
        }
        return Summary();
    }

private:
    enum class State { InProgress, Served, Failed, Stopped };

    void Appeared(const std::string& port) {
        std::lock_guard lock(mutex);
        AppearedLocked(port);
    }

    void AppearedLocked(const std::string& port) {
        present.insert(port);
        if (visits.contains(port)) {
            again.insert(port);  // back before its last visit had ended
            return;
        }
        visits.emplace(port, std::thread(&Watch::Serve, this, port));
    }

    // A visit's thread is joined once it has ended; a port that came back
    // meanwhile is visited anew.
    void JoinEnded() {
        for (const std::string& port : ended) {
            const auto found = visits.find(port);
            found->second.join();
            visits.erase(found);
            if (again.erase(port) != 0 && present.contains(port)) {
                visits.emplace(port, std::thread(&Watch::Serve, this, port));
            }
        }
        ended.clear();
    }

    void Serve(const std::string& port) {
        const std::string shown = OneLine(port);
        JobEvents events;
        events.Log = [shown](const std::string& text, bool) {
            if (OneLine(text).empty()) {
                return;
            }
            std::fprintf(stderr, "%s: %s\n", shown.c_str(), OneLine(text).c_str());
        };
        int lastTenth = -1;
        const auto start = std::chrono::steady_clock::now();
        events.Progress = [shown, lastTenth, start](int position, int maximum) mutable {
            if (maximum <= 0 || position <= 0 || position * 10 / maximum == lastTenth) {
                return;
            }
            lastTenth = position * 10 / maximum;
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::fprintf(stderr, "%s: %s\n", shown.c_str(),
                         ProgressReporter::BarText(position, maximum, seconds).c_str());
        };
        Visit visit(options, assignment, port, std::move(events),
                    [this](const DeviceId& id) { return Claim(id); });
        const PortResult result = visit.Run();
        const std::optional<DeviceIdentity>& identity = result.Result.Identity;
        std::lock_guard lock(mutex);
        if (!identity) {
            // No Vyx (left as found), or it went before it spoke.
            Say(port, {}, result.Result.Message + "; a porta foi deixada como estava", false);
        } else if (visit.Refused) {
            Say(port, {}, result.Result.Message, false);
        } else {
            const int exit = result.Result.Exit;
            units[IdText(identity->Id)] = exit == ExitDone          ? State::Served
                                          : exit == ExitInterrupted ? State::Stopped
                                                                    : State::Failed;
            // The bell calls the technician to a unit served and ready to go.
            Say(port, visit.Changes, result.Result.Message, !options.Quiet && exit == ExitDone);
        }
        ended.push_back(port);
    }

    // A unit served already, or being served on another port, is left alone;
    // else it is this visit's from now on.
    std::optional<std::string> Claim(const DeviceId& id) {
        std::lock_guard lock(mutex);
        const std::string unit = IdText(id);
        const auto found = units.find(unit);
        if (found != units.end() && found->second == State::Served) {
            return unit + " já foi atendido nesta sessão; não foi tocado de novo";
        }
        if (found != units.end() && found->second == State::InProgress) {
            return unit + " já está sendo atendido em outra porta; não foi tocado";
        }
        units[unit] = State::InProgress;
        return std::nullopt;
    }

    // One device's lines on stdout, whole, with the bell when it may be unplugged.
    void Say(const std::string& port, const std::vector<std::string>& changes,
             const std::string& message, bool bell) {
        const std::string shown = OneLine(port);
        for (const std::string& line : changes) {
            std::printf("%s: %s\n", shown.c_str(), line.c_str());
        }
        std::printf("%s: %s%s\n", shown.c_str(), OneLine(message).c_str(), bell ? Bell : "");
        std::fflush(stdout);
    }

    // After Ctrl+C: each unit by its last visit. 0 when every unit was served,
    // ExitInterrupted when a visit was cut short, else ExitDeviceFailed.
    int Summary() {
        int served = 0;
        int failed = 0;
        int stopped = 0;
        for (const auto& [unit, state] : units) {
            served += state == State::Served ? 1 : 0;
            failed += state == State::Failed ? 1 : 0;
            stopped += state == State::Stopped || state == State::InProgress ? 1 : 0;
        }
        std::printf("atendidos: %d; com falha: %d; em andamento, parados: %d\n", served, failed,
                    stopped);
        std::fflush(stdout);
        return stopped > 0 ? ExitInterrupted : failed > 0 ? ExitDeviceFailed : ExitDone;
    }

    const CliOptions& options;
    const Assignment& assignment;
    std::mutex mutex;
    std::set<std::string> present;
    std::map<std::string, std::thread> visits;  // by port
    std::set<std::string> again;
    std::vector<std::string> ended;
    std::map<std::string, State> units;  // by device ID
};

}  // namespace

int ServiceCommand(const CliOptions& options) {
    // The whole plan is checked before any unit is touched.
    Assignment assignment;
    if (!LoadAssignment(options, assignment)) {
        return ExitBadUsage;
    }
    if (options.Watch != options.Ports.empty()) {
        std::fprintf(stderr, options.Watch
                                 ? "vyxctl service: --watch atende toda porta que aparece; não "
                                   "dê --port\n"
                                 : "vyxctl service: falta --port (ou --watch)\n");
        return ExitBadUsage;
    }
    if (options.Watch) {
        return Watch(options, assignment).Run();
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
