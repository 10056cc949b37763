#include "DiffCommand.h"

#include <cstdio>

#include "ProfileDiff.h"

namespace vyx::cli {

namespace {

std::string KeysText(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " chave" : " chaves");
}

}  // namespace

std::vector<PortDifferences> ReadDifferences(const CliOptions& options, const PortChoice& ports,
                                             const EditorSnapshot& profile,
                                             const UnitVisits& visits) {
    JobRequest request;
    request.Kind = JobKind::Read;
    request.Listen = options.Listen;
    request.Fields = options.Fields;
    request.Visits = visits;
    std::vector<PortDifferences> differences;
    const std::vector<PortResult> results = DeviceRun::Run(request, ports);
    for (const PortResult& outcome : results) {
        PortDifferences& d = differences.emplace_back(PortDifferences{outcome});
        PortResult& r = d.Outcome;
        if (r.Result.Exit != ExitDone) {
            continue;
        }
        d.Read = true;
        d.Lines = ProfileDiffLines(r.Result.Editor, profile);
        const std::vector<std::string>& lines = d.Lines;
        const std::string prefix = results.size() > 1 ? OneLine(r.Port) + ": " : "";
        for (const std::string& line : lines) {
            std::printf("%s%s\n", prefix.c_str(), line.c_str());
        }
        // A repaired block is the defaults now, which is what the lines compare with.
        const std::string repaired =
            r.Result.Repaired ? "o bloco foi rejeitado e trocado pela configuração padrão; " : "";
        if (lines.empty()) {
            r.Result.Message = repaired + "igual ao perfil";
        } else {
            r.Result.Exit = ExitDiffers;
            r.Result.Message = repaired + "difere do perfil em " + KeysText(lines.size());
        }
    }
    std::fflush(stdout);
    return differences;
}

std::vector<PortResult> Outcomes(const std::vector<PortDifferences>& differences) {
    std::vector<PortResult> results;
    for (const PortDifferences& d : differences) {
        results.push_back(d.Outcome);
    }
    return results;
}

int DiffCommand(const CliOptions& options) {
    const std::optional<EditorSnapshot> profile = LoadProfileArgument(options.File);
    if (!profile) {
        return ExitBadUsage;
    }
    const PortChoice ports = DeviceRun::ResolvePorts(options);
    if (ports.Empty()) {
        return ports.Exit;
    }
    return DeviceRun::Report(Outcomes(ReadDifferences(options, ports, *profile)));
}

}  // namespace vyx::cli
