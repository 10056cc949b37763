#pragma once
// The value types of the serial port's settings and line events.

#include <cstdint>
#include <initializer_list>

namespace vyx {

/// The system's handle of an open device: a file descriptor, or a Windows HANDLE.
using ComHandle = std::intptr_t;
inline constexpr ComHandle NoComHandle = -1;

/// Bit rate of the line; every value but brCustom names its rate, brCustom takes
/// the port's CustomBaudRate.
enum TBaudRate {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
};

/// The rate in bit/s that a named rate stands for (0 for brCustom).
std::int32_t BaudRateValue(TBaudRate rate);

enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };

/// Line events an open port can report to its event thread.
enum TComEvent {
    evRxChar,
    evTxEmpty,
    evRxFlag,
    evRing,
    evBreak,
    evCTS,
    evDSR,
    evError,
    evRLSD,
    evRx80Full,
};

/// How a batch of line events reaches the window thread; only smThreadSync is served.
enum TSyncMethod { smThreadSync, smWindowSync, smNone };

/// A set of TComEvent.
class TComEvents {
public:
    constexpr TComEvents() = default;
    constexpr TComEvents(std::initializer_list<TComEvent> events) {
        for (TComEvent e : events) {
            Include(e);
        }
    }
    /// All ten events.
    static constexpr TComEvents All() {
        TComEvents all;
        all.bits = (1u << (evRx80Full + 1)) - 1;
        return all;
    }

    constexpr bool Contains(TComEvent e) const { return (bits & Bit(e)) != 0; }
    constexpr void Include(TComEvent e) { bits |= Bit(e); }
    constexpr void Exclude(TComEvent e) { bits &= ~Bit(e); }
    constexpr bool Empty() const { return bits == 0; }
    constexpr bool operator==(const TComEvents&) const = default;

private:
    static constexpr std::uint16_t Bit(TComEvent e) { return std::uint16_t(1u << e); }
    std::uint16_t bits = 0;
};

}  // namespace vyx
