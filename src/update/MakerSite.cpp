#include "MakerSite.h"

#include <utility>

#ifndef VYX_MAKER_URL
#error "VYX_MAKER_URL (the maker's web server) is set by the build"
#endif

namespace vyx {

namespace {

constexpr const char* VersionFilePath = "files/vyxtool.ver";
constexpr const char* ProductPagePath = "vyx";
// "files/VyxTool v" with its space escaped.
constexpr const char* DownloadPathStart = "files/VyxTool%20v";
constexpr const char* DownloadPathEnd = ".exe";

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

void AppendEscaped(std::string& out, unsigned char c) {
    if (IsUnreserved(c)) {
        out += static_cast<char>(c);
        return;
    }
    constexpr const char* hex = "0123456789ABCDEF";
    out += '%';
    out += hex[c >> 4];
    out += hex[c & 0x0F];
}

}  // namespace

MakerSite MakerSite::Default() {
    return MakerSite(VYX_MAKER_URL);
}

MakerSite::MakerSite(std::string baseUrl) : baseUrl(std::move(baseUrl)) {
    if (this->baseUrl.empty() || this->baseUrl.back() != '/') {
        this->baseUrl += '/';
    }
}

std::string MakerSite::VersionFileUrl() const {
    return baseUrl + VersionFilePath;
}

std::string MakerSite::ProductPageUrl() const {
    return baseUrl + ProductPagePath;
}

std::string MakerSite::DownloadUrl(const VersionNumber& version) const {
    std::string url = baseUrl + DownloadPathStart;
    url += std::to_string(version.Major);
    url += '.';
    url += std::to_string(version.Minor);
    url += '.';
    // The letter is printed as a character of the 8-bit code page, as "%c" would.
    AppendEscaped(url, static_cast<unsigned char>(version.Letter));
    url += DownloadPathEnd;
    return url;
}

}  // namespace vyx
