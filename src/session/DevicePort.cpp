#include "DevicePort.h"

#include "FrameCheck.h"
#include "TimeLimits.h"

namespace vyx {

namespace {

// Driver queues, bytes (the time-outs: TimeLimits.h).
constexpr int QueueSize = 4096;

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
    port.Timeouts().SetReadInterval(DeviceReadInterval);
    port.Timeouts().SetReadTotalMultiplier(DeviceReadTotalMultiplier);
    port.Timeouts().SetReadTotalConstant(DeviceReadTotalConstant);
    port.Timeouts().SetWriteTotalMultiplier(DeviceWriteTotalMultiplier);
    port.Timeouts().SetWriteTotalConstant(DeviceWriteTotalConstant);
    port.SetEvents(TComEvents::All());
    port.SetFrameCompleteHint(&IsFrameComplete);
}

}  // namespace vyx
