#pragma once
// The port's flow-control settings.

#include <cstdint>

#include "ComTypes.h"

namespace vyx {

class TCustomComPort;

/// Hardware and software flow control, and the state of DTR and RTS. Changing a
/// value of an open port re-applies the line settings at once (ComErrorLineSettings if that
/// fails, after the value has been stored).
///
/// On Linux: OutCTSFlow or rtsHandshake select CTS/RTS handshake; dtrEnable and
/// rtsEnable raise the line, the others hold it low; DSR handshake, DSR sensitivity,
/// RTS toggling and TxContinueOnXoff have no counterpart and are kept as values only.
/// On Windows every value goes into the device control block as it is.
class TComFlowControl {
public:
    explicit TComFlowControl(TCustomComPort& port) : port(port) {}

    bool OutCTSFlow() const { return outCTSFlow; }
    void SetOutCTSFlow(bool value);
    bool OutDSRFlow() const { return outDSRFlow; }
    void SetOutDSRFlow(bool value);
    TDTRFlowControl ControlDTR() const { return controlDTR; }
    void SetControlDTR(TDTRFlowControl value);
    TRTSFlowControl ControlRTS() const { return controlRTS; }
    void SetControlRTS(TRTSFlowControl value);
    bool XonXoffOut() const { return xonXoffOut; }
    void SetXonXoffOut(bool value);
    bool XonXoffIn() const { return xonXoffIn; }
    void SetXonXoffIn(bool value);
    bool DSRSensitivity() const { return dsrSensitivity; }
    void SetDSRSensitivity(bool value);
    bool TxContinueOnXoff() const { return txContinueOnXoff; }
    void SetTxContinueOnXoff(bool value);
    std::uint8_t XonChar() const { return xonChar; }
    void SetXonChar(std::uint8_t value);
    std::uint8_t XoffChar() const { return xoffChar; }
    void SetXoffChar(std::uint8_t value);

private:
    TCustomComPort& port;
    bool outCTSFlow = false;
    bool outDSRFlow = false;
    TDTRFlowControl controlDTR = dtrDisable;
    TRTSFlowControl controlRTS = rtsDisable;
    bool xonXoffOut = false;
    bool xonXoffIn = false;
    bool dsrSensitivity = false;
    bool txContinueOnXoff = false;
    std::uint8_t xonChar = 17;
    std::uint8_t xoffChar = 19;
};

}  // namespace vyx
