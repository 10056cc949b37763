#pragma once
// SHA-256 of a byte text, for the fingerprint a service report prints. Our own
// small function: the page has no cryptographic library to lean on.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vyx {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest Sha256(std::string_view bytes);
/// The digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace vyx
