#include <cstdio>

#include "CliCommands.h"
#include "DeviceRun.h"
#include "JsonOutput.h"

namespace vyx::cli {

namespace {

const char* ModeCode(const DeviceIdentity& identity) {
    return identity.IdentityMode == 0 ? "operating" : "service";
}

const char* ModeText(const DeviceIdentity& identity) {
    return identity.IdentityMode == 0 ? "operação" : "serviço";
}

}  // namespace

int InfoCommand(const CliOptions& options) {
    if (options.Ports.size() != 1 || options.Ports.front() == AllVyx) {
        std::fprintf(stderr, "vyxctl info: dê exatamente uma --port\n");
        return ExitBadUsage;
    }
    std::vector<std::string> ports = options.Ports;
    if (const int exit = ResolvePortNames(ports); exit != ExitDone) {
        return exit;
    }
    JobRequest request;
    request.Kind = JobKind::Info;
    request.Fields = options.Fields;
    request.Listen = options.Listen;
    request.Port = ports.front();
    // Machine output carries no device log lines.
    const JobResult r =
        options.Json ? DeviceJob::Run(request, {}) : DeviceRun::Run(request, ports).front().Result;
    if (r.Identity) {
        const DeviceIdentity& id = *r.Identity;
        const std::string version = VersionText(id.Version);
        if (options.Json) {
            nlohmann::ordered_json doc;
            doc["port"] = request.Port;
            doc["version"] = version;
            doc["id"] = {id.Id[0], id.Id[1], id.Id[2]};
            doc["id_text"] = IdText(id.Id);
            doc["product_line"] = id.Version[0];
            doc["mode"] = ModeCode(id);
            doc["firmware"] = DecisionCode(id.Version);
            doc["config_base"] = id.ConfigBase;
            doc["exit"] = r.Exit;
            doc["result"] = r.Message;
            std::printf("%s\n", JsonText(doc).c_str());
        } else {
            std::printf(
                "versão:           %s\nid:               %s\nlinha de produto: %u\n"
                "modo:             %s\nfirmware:         %s\n",
                version.c_str(), IdText(id.Id).c_str(), id.Version[0], ModeText(id),
                DecisionText(id.Version).c_str());
        }
    } else if (options.Json) {
        nlohmann::ordered_json doc;
        doc["port"] = request.Port;
        doc["exit"] = r.Exit;
        doc["result"] = r.Message;
        std::printf("%s\n", JsonText(doc).c_str());
    }
    // The outcome is a result; beside a document it is only a diagnostic.
    if (!options.Json || r.Exit != ExitDone) {
        DeviceRun::Report({{request.Port, r}}, options.Json ? stderr : stdout);
    }
    return r.Exit;
}

}  // namespace vyx::cli
