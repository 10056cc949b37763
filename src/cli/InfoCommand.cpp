#include <cstdio>

#include "CliCommands.h"
#include "DeviceRun.h"
#include "JsonOutput.h"

namespace vyx::cli {

namespace {

const char* ModeText(const DeviceIdentity& identity) {
    return identity.IdentityMode == 0 ? "operating" : "service";
}

}  // namespace

int InfoCommand(const CliOptions& options) {
    if (options.Ports.size() != 1 || options.Ports.front() == "all-vyx") {
        std::fprintf(stderr, "vyxctl info: give exactly one --port\n");
        return ExitBadUsage;
    }
    JobRequest request;
    request.Kind = JobKind::Info;
    request.Listen = options.Listen;
    request.Port = options.Ports.front();
    // Machine output carries no device log lines.
    const JobResult r = options.Json ? DeviceJob::Run(request, {})
                                     : DeviceRun::Run(request, options.Ports).front().Result;
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
            doc["mode"] = ModeText(id);
            doc["firmware"] = DecisionText(id.Version);
            doc["config_base"] = id.ConfigBase;
            doc["exit"] = r.Exit;
            doc["result"] = r.Message;
            std::printf("%s\n", JsonText(doc).c_str());
        } else {
            std::printf(
                "version:      %s\nid:           %s\nproduct line: %u\nmode:         "
                "%s\nfirmware:     %s\n",
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
    if (!options.Json || r.Exit != ExitDone) {
        std::fprintf(stderr, "%s: %s\n", request.Port.c_str(), r.Message.c_str());
    }
    return r.Exit;
}

}  // namespace vyx::cli
