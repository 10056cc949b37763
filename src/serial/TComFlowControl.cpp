#include "TComFlowControl.h"

#include "TCustomComPort.h"

namespace vyx {

void TComFlowControl::SetOutCTSFlow(bool value) {
    port.StoreAndApply(outCTSFlow, value, ComGroup::Line);
}
void TComFlowControl::SetOutDSRFlow(bool value) {
    port.StoreAndApply(outDSRFlow, value, ComGroup::Line);
}
void TComFlowControl::SetControlDTR(TDTRFlowControl value) {
    port.StoreAndApply(controlDTR, value, ComGroup::Line);
}
void TComFlowControl::SetControlRTS(TRTSFlowControl value) {
    port.StoreAndApply(controlRTS, value, ComGroup::Line);
}
void TComFlowControl::SetXonXoffOut(bool value) {
    port.StoreAndApply(xonXoffOut, value, ComGroup::Line);
}
void TComFlowControl::SetXonXoffIn(bool value) {
    port.StoreAndApply(xonXoffIn, value, ComGroup::Line);
}
void TComFlowControl::SetDSRSensitivity(bool value) {
    port.StoreAndApply(dsrSensitivity, value, ComGroup::Line);
}
void TComFlowControl::SetTxContinueOnXoff(bool value) {
    port.StoreAndApply(txContinueOnXoff, value, ComGroup::Line);
}
void TComFlowControl::SetXonChar(std::uint8_t value) {
    port.StoreAndApply(xonChar, value, ComGroup::Line);
}
void TComFlowControl::SetXoffChar(std::uint8_t value) {
    port.StoreAndApply(xoffChar, value, ComGroup::Line);
}

}  // namespace vyx
