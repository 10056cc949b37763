#pragma once
// The addresses the tool uses on the maker's web server: the version file, the
// download of a newer tool and the product page shown in L_Site.

#include <string>

#include "VersionNumber.h"

namespace vyx {

class MakerSite {
public:
    /// The maker's web server chosen at build time (the VYX_MAKER_URL build setting).
    static MakerSite Default();

    /// `baseUrl` is the server's address, with or without the closing '/'. It is
    /// trusted (a build setting or a test server) and used as given.
    explicit MakerSite(std::string baseUrl);

    const std::string& BaseUrl() const { return baseUrl; }
    /// The version file, "files/vyxtool.ver" under the server.
    std::string VersionFileUrl() const;
    /// The product page: the server followed by "vyx". L_Site shows it.
    std::string ProductPageUrl() const;
    /// Where the tool of `version` is downloaded, "files/VyxTool v2.40.D.exe" under the
    /// server, percent-encoded. Only the three numbers reach the address: the letter
    /// code is printed as its 8-bit character, escaped unless it is a plain letter,
    /// digit or one of "-._~", so no version file can add a path, query or fragment.
    std::string DownloadUrl(const VersionNumber& version) const;

private:
    std::string baseUrl;
};

}  // namespace vyx
