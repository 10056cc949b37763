// Feeds arbitrary version file bodies to the record parser and checks that what it
// accepts is a well-formed record whose download address carries nothing but the
// three numbers.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "MakerSite.h"
#include "VersionRecord.h"

namespace {

bool InRange(int value) {
    return value >= 0 && value <= 999;
}

bool IsAddressCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '%';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const auto version = vyx::VersionRecord::Parse(body);
    if (!version) {
        return 0;
    }
    if (size <= vyx::VersionRecord::RecordLength || size > vyx::VersionRecord::MaxBodyLength ||
        !InRange(version->Major) || !InRange(version->Minor) || !InRange(version->Letter)) {
        std::abort();
    }
    // The record at the first '#' is the accepted version written out again.
    char record[40];
    std::snprintf(record, sizeof record, "#*$(%03d.%03d.%03d@@%03d.%03d.%03d)$*#", version->Major,
                  version->Minor, version->Letter, version->Major, version->Minor, version->Letter);
    if (body.substr(body.find('#'), vyx::VersionRecord::RecordLength) != record) {
        std::abort();
    }
    const std::string prefix = "https://maker.test/files/VyxTool%20v";
    const std::string url = vyx::MakerSite("https://maker.test").DownloadUrl(*version);
    if (url.compare(0, prefix.size(), prefix) != 0) {
        std::abort();
    }
    for (std::size_t i = prefix.size(); i < url.size(); ++i) {
        if (!IsAddressCharacter(url[i])) {
            std::abort();
        }
    }
    return 0;
}
