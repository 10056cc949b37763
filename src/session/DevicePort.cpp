#include "DevicePort.h"

#include "FrameCheck.h"

namespace vyx {

namespace {

// Driver queues, bytes; time-outs in milliseconds (per byte, plus a constant).
constexpr int QueueSize = 4096;
constexpr int ReadInterval = 200;
constexpr int ReadTotalMultiplier = 100;
constexpr int ReadTotalConstant = 100;
constexpr int WriteTotalMultiplier = 2;
constexpr int WriteTotalConstant = 2;

}  // namespace

void DevicePort::Configure(TComPort& port) {
    port.SetBaudRate(brCustom);
    port.SetCustomBaudRate(DeviceBitRate);
    port.SetDataBits(dbEight);
    port.SetStopBits(sbOneStopBit);
    port.Parity().SetBits(prNone);
    port.FlowControl().SetOutCTSFlow(false);
    port.FlowControl().SetOutDSRFlow(false);
    port.FlowControl().SetControlDTR(dtrDisable);
    port.FlowControl().SetControlRTS(rtsDisable);
    port.FlowControl().SetXonXoffOut(false);
    port.FlowControl().SetXonXoffIn(false);
    port.Buffer().SetInputSize(QueueSize);
    port.Buffer().SetOutputSize(QueueSize);
    port.Timeouts().SetReadInterval(ReadInterval);
    port.Timeouts().SetReadTotalMultiplier(ReadTotalMultiplier);
    port.Timeouts().SetReadTotalConstant(ReadTotalConstant);
    port.Timeouts().SetWriteTotalMultiplier(WriteTotalMultiplier);
    port.Timeouts().SetWriteTotalConstant(WriteTotalConstant);
    port.SetEvents(TComEvents::All());
    port.SetFrameCompleteHint(&IsFrameComplete);
}

}  // namespace vyx
