#pragma once
// The port's parity settings.

#include <cstdint>

#include "ComTypes.h"

namespace vyx {

class TCustomComPort;

/// Parity of the line. Changing a value of an open port re-applies the line settings
/// at once (ComErrorLineSettings if that fails, after the value has been stored).
class TComParity {
public:
    explicit TComParity(TCustomComPort& port) : port(port) {}

    TParityBits Bits() const { return bits; }
    void SetBits(TParityBits value);
    /// Whether received bytes are checked for parity errors.
    bool Check() const { return check; }
    void SetCheck(bool value);
    /// With Check: bytes with errors are replaced by ReplaceChar (0 is the only
    /// replacement this platform can make).
    bool Replace() const { return replace; }
    void SetReplace(bool value);
    std::uint8_t ReplaceChar() const { return replaceChar; }
    void SetReplaceChar(std::uint8_t value);

private:
    TCustomComPort& port;
    TParityBits bits = prNone;
    bool check = false;
    bool replace = false;
    std::uint8_t replaceChar = 0;
};

}  // namespace vyx
