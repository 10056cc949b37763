#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "CliCommands.h"
#include "DeviceRun.h"
#include "FirmwareImage.h"

namespace vyx::cli {

namespace {

// A whole file of exactly `size` bytes; a reason on stderr otherwise.
std::optional<std::vector<std::uint8_t>> ReadExactly(const std::string& path, std::size_t size,
                                                     const char* what) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: não pode ser lido\n", path.c_str());
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    bytes.resize(size + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() != size) {
        std::fprintf(stderr, "%s: %s deve ter exatamente %zu bytes\n", path.c_str(), what, size);
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

int FlashCommand(const CliOptions& options) {
    if (options.Image.empty() != options.Trailer.empty()) {
        std::fprintf(stderr, "vyxctl flash: --image e --trailer vão juntos\n");
        return ExitBadUsage;
    }
    JobRequest request;
    request.Kind = JobKind::Flash;
    request.Fields = options.Fields;
    request.Listen = options.Listen;
    request.Jump = options.Jump;
    std::vector<std::uint8_t> image;
    if (!options.Image.empty()) {
        auto bytes = ReadExactly(options.Image, FirmwareImageSize, "a imagem do firmware");
        const auto trailer =
            ReadExactly(options.Trailer, FirmwareTrailerSize, "o arquivo final da imagem");
        if (!bytes || !trailer) {
            return ExitBadUsage;
        }
        image = std::move(*bytes);
        request.Image = image;
        std::copy(trailer->begin(), trailer->end(), request.Trailer.begin());
    }
    const PortChoice ports = DeviceRun::ResolvePorts(options);
    if (ports.Empty()) {
        return ports.Exit;
    }
    const std::vector<PortResult> results = DeviceRun::Run(request, ports);
    if (results.size() == 1 && results.front().Result.Restarted) {
        std::printf("%s\n", VersionText(results.front().Result.Restarted->Version).c_str());
    }
    return DeviceRun::Report(results);
}

}  // namespace vyx::cli
