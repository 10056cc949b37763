#pragma once
// A pseudo-terminal pair standing in for the device: the port opens the slave
// side by its path, the test plays the device on the master side.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace vyx::test {

/// What the terminal driver holds as the slave's settings (read with termios2).
struct SlaveSettings {
    unsigned outputSpeed = 0;
    unsigned inputSpeed = 0;
    int dataBits = 0;
    bool parity = false;
    bool twoStopBits = false;
    bool hangUpOnClose = false;
    bool hardwareFlow = false;
    bool softwareFlow = false;
    bool raw = false;  // no input, output or local processing
    bool operator==(const SlaveSettings&) const = default;
};

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return slavePath; }
    /// Plays the device: bytes the port will receive.
    void Send(const std::vector<std::uint8_t>& bytes);
    /// Sends `bytes` as a USB device delivers them: 64-byte chunks 1 ms apart
    /// (returns once all are sent).
    void SendInUsbChunks(const std::vector<std::uint8_t>& bytes);
    /// Bytes the port wrote, waiting up to `limit` for `count` of them.
    std::vector<std::uint8_t> Receive(std::size_t count, std::chrono::milliseconds limit);
    /// The device goes away.
    void HangUp();
    /// The slave's settings as the driver holds them.
    SlaveSettings Settings() const;
    /// Whether the slave is in exclusive mode (a new open by a user would be refused).
    bool Exclusive() const;

private:
    int master = -1;
    std::string slavePath;
};

/// `count` bytes 0, 1, 2, ... (mod 256) starting at `first`.
std::vector<std::uint8_t> Pattern(std::size_t count, std::uint8_t first = 0);

/// A hint like the link layer's: the first byte says how many follow.
bool LengthPrefixedComplete(const std::uint8_t* bytes, std::size_t count);

}  // namespace vyx::test
