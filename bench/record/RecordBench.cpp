// The service record at a workshop's scale: a hundred thousand visits as a
// workshop makes them (identified, the firmware uploaded, identified again, the
// configuration read, written and read back, closed) with forty log lines each,
// then what a technician waits for. Opening the history with its first page,
// one device's visits, the CSV export of every visit, the file's size, and what
// recording one visit's steps adds to a visit. Prints the numbers; exits 1 when one is over its
// budget. VYX_BENCH_VISITS makes fewer visits for a quick look (the budgets then mean little).
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "../Median.h"
#include "EditorChecks.h"
#include "EditorPresets.h"
#include "RecordStore.h"
#include "StoreExport.h"
#include "VisitStep.h"

namespace {

namespace fs = std::filesystem;
using namespace vyx;
using namespace vyx::record;
using Clock = std::chrono::steady_clock;

constexpr double OpenBudgetMs = 150;
constexpr double DeviceQueryBudgetMs = 20;
constexpr double ScanBudgetMs = 3000;
constexpr double SizeBudgetBytes = 500e6;
constexpr double RecordingBudgetMs = 2;
constexpr int LinesPerVisit = 40;
constexpr int Devices = 2000;
constexpr int PageSize = 50;

double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

void Check(const std::optional<std::string>& line) {
    if (line) {
        std::fprintf(stderr, "%s\n", line->c_str());
        std::exit(2);
    }
}

std::string Uuid(std::mt19937_64& random) {
    static const char* hex = "0123456789abcdef";
    std::string text;
    for (int i = 0; i < 32; ++i) {
        if (i == 8 || i == 12 || i == 16 || i == 20) {
            text += '-';
        }
        text += hex[random() % 16];
    }
    text[14] = '4';
    return text;
}

std::string DeviceNumber(int n) {
    return std::to_string(3000000 + n * 7);
}

// "2026-12-09T10:29:40-03:00", `minutes` after the first day of 2025.
std::string Instant(std::int64_t minutes) {
    const auto when = std::chrono::sys_days{std::chrono::year{2025} / 1 / 1} +
                      std::chrono::minutes{minutes} - std::chrono::hours{3};
    const auto day = std::chrono::floor<std::chrono::days>(when);
    const std::chrono::year_month_day date(day);
    const std::chrono::hh_mm_ss time(when - day);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d-03:00",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

// What a visit's steps and lines look like: identification, the configuration
// read with its block and values, an upload's outcome, the write and read-back.
// A visit's steps, in order, as the doors record them.
constexpr StepKind VisitKinds[] = {
    StepKind::Identified, StepKind::UploadStarted, StepKind::UploadFinished, StepKind::Identified,
    StepKind::ConfigRead, StepKind::ConfigWritten, StepKind::ConfigReadBack, StepKind::Closed};
constexpr int StepsPerVisit = static_cast<int>(std::size(VisitKinds));

record::StoredStep Step(const ConfigImage& image, std::int64_t seq, const std::string& at) {
    VisitStep step;
    step.Kind = VisitKinds[seq - 1];
    step.EndedAt = at;
    switch (step.Kind) {
        case StepKind::Identified:
            step.DeviceId = "00A1B2C3 00000039 56595800";
            step.DeviceVersion = seq == 1 ? "4.0.2.38" : "4.0.2.39";
            step.Verdict = seq == 1 ? IdentityVerdict::Older : IdentityVerdict::Current;
            break;
        case StepKind::UploadFinished:
            step.Counts = ExchangeCounts{.Package = 1861, .Packages = 1861, .Resends = 3};
            break;
        case StepKind::ConfigRead:
        case StepKind::ConfigWritten:
        case StepKind::ConfigReadBack:
            step.Block = VisitBlock{image, 0, false};
            break;
        default:
            break;
    }
    return {seq, at, std::string(StepKindText(step.Kind)), StepBody(step)};
}

std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    for (int i = 0; i < LinesPerVisit; ++i) {
        lines.push_back("10:29:" + std::to_string(10 + i) + " enviando pacote " +
                        std::to_string(i * 47) + " de 1.861");
    }
    return lines;
}

VisitHead MakeHead(std::mt19937_64& random, std::int64_t minutes) {
    VisitHead head;
    head.Uuid = Uuid(random);
    head.Door = std::string(random() % 3 == 0 ? DoorWindow : DoorCli);
    head.ToolVersion = "2.39.C";
    head.Host = "oficina-" + std::to_string(random() % 9);
    head.StartedAt = Instant(minutes);
    head.EndedAt = Instant(minutes + 6);
    head.DeviceId = DeviceNumber(static_cast<int>(random() % Devices));
    head.DeviceVersionBefore = "4.0.2.30";
    head.DeviceVersionAfter = "4.0.2.31";
    head.Technician = random() % 2 ? "Joana Silva" : "Carlos Souza";
    head.Plate = "ABC" + std::to_string(random() % 10) + "D" + std::to_string(random() % 100);
    head.Vin = "9BWZZZ377VT" + std::to_string(100000 + random() % 900000);
    head.WorkOrder = "OS-" + std::to_string(random() % 100000);
    head.Result = std::string(random() % 10 == 0 ? ResultFailed : ResultDone);
    return head;
}

}  // namespace

int main() {
    const char* wanted = std::getenv("VYX_BENCH_VISITS");
    const int visits = wanted != nullptr ? std::atoi(wanted) : 100000;
    const fs::path folder =
        fs::temp_directory_path() / ("vyx-record-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string path = (folder / "record.sqlite3").string();
    std::mt19937_64 random(20261209);
    const std::vector<std::string> lines = Lines();
    const ConfigImage image = EncodeConfigImage(*ValuesFromSnapshot(DefaultsSnapshot())).Image;

    const auto filling = Clock::now();
    {
        auto store = RecordStore::Open(path).Store;
        for (int v = 0; v < visits; ++v) {
            StoredVisit visit{MakeHead(random, v * 9), {}, lines};
            for (int s = 1; s <= StepsPerVisit; ++s) {
                visit.Steps.push_back(Step(image, s, visit.Head.StartedAt));
            }
            Insertion outcome{};
            Check(store->InsertWholeVisit(visit, outcome));
        }
    }
    std::printf("%d visits made in %.1f s\n", visits, Ms(filling) / 1000);
    const double size = static_cast<double>(fs::file_size(path));

    std::vector<double> opens;
    for (int round = 0; round < 15; ++round) {
        const auto start = Clock::now();
        OpenedStore opened = RecordStore::Open(path);
        std::vector<VisitHead> page;
        Check(opened.Store->List({}, PageSize, 0, page));
        opens.push_back(Ms(start));
    }

    auto store = RecordStore::Open(path).Store;
    std::vector<double> byDevice;
    std::size_t found = 0;
    for (int round = 0; round < 50; ++round) {
        std::vector<VisitHead> heads;
        const auto start = Clock::now();
        Check(store->List({.DeviceId = DeviceNumber(round * 37 % Devices)}, 0, 0, heads));
        byDevice.push_back(Ms(start));
        found += heads.size();
    }

    // The history's search box: a part of a work order, over every visit.
    std::vector<double> searches;
    for (int round = 0; round < 10; ++round) {
        std::vector<VisitHead> heads;
        const auto start = Clock::now();
        Check(store->List({.Text = "OS-" + std::to_string(1000 + round * 17)}, PageSize, 0, heads));
        searches.push_back(Ms(start));
    }

    // The CSV export of every visit, as vyxctl and the window make it.
    std::vector<double> scans;
    std::size_t exported = 0;
    for (int round = 0; round < 3; ++round) {
        std::string csv;
        const auto start = Clock::now();
        const ExportOutcome outcome = ExportVisits(
            *store, {}, ExportFormat::Csv, [&](std::string_view text) { csv += text; },
            [](const VisitHead&, const std::string& reason) {
                std::fprintf(stderr, "%s\n", reason.c_str());
                std::exit(2);
            });
        Check(outcome.Error);
        scans.push_back(Ms(start));
        exported = csv.size();
    }

    // A visit as a door records it: begun, each step as it ends with the head
    // brought up to date, the log in two halves, finished; each its own
    // transaction.
    std::vector<double> recordings;
    const std::vector<std::string> half(lines.begin(), lines.begin() + LinesPerVisit / 2);
    for (int round = 0; round < 200; ++round) {
        const VisitHead head = MakeHead(random, visits * 9 + round * 9);
        std::vector<record::StoredStep> steps;
        for (int s = 1; s <= StepsPerVisit; ++s) {
            steps.push_back(Step(image, s, head.StartedAt));
        }
        const auto start = Clock::now();
        Check(store->BeginVisit(head));
        for (const record::StoredStep& step : steps) {
            Check(store->AppendStep(head.Uuid, step.Seq, step.EndedAt, step.Kind, step.Body));
            Check(store->UpdateHead(head));
            if (step.Seq == 4 || step.Seq == StepsPerVisit) {
                Check(store->AppendLog(head.Uuid, half));
            }
        }
        Check(
            store->FinishVisit(head.Uuid, head.EndedAt, head.Result, head.DeviceVersionAfter, ""));
        recordings.push_back(Ms(start));
    }
    store.reset();

    const double open = bench::Median(opens);
    const double device = bench::Median(byDevice);
    const double scan = bench::Median(scans);
    const double recording = bench::Median(recordings);
    std::printf("open and first page of %d: median %.2f ms (budget %.0f)\n", PageSize, open,
                OpenBudgetMs);
    std::printf("one device's visits (%.1f on average): median %.3f ms (budget %.0f)\n",
                static_cast<double>(found) / 50, device, DeviceQueryBudgetMs);
    std::printf("text search, first page: median %.0f ms (no budget)\n", bench::Median(searches));
    std::printf("CSV export of every visit (%zu bytes): median %.0f ms (budget %.0f)\n", exported,
                scan, ScanBudgetMs);
    std::printf("database: %.1f MB, %.0f bytes a visit (budget %.0f MB)\n", size / 1e6,
                size / visits, SizeBudgetBytes / 1e6);
    std::printf("recording one visit's %d steps and %d lines: median %.3f ms (budget %.0f)\n",
                StepsPerVisit, LinesPerVisit, recording, RecordingBudgetMs);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    const bool ok = open <= OpenBudgetMs && device <= DeviceQueryBudgetMs && scan <= ScanBudgetMs &&
                    size <= SizeBudgetBytes && recording <= RecordingBudgetMs;
    std::printf(ok ? "within budget\n" : "OVER BUDGET\n");
    return ok ? 0 : 1;
}
