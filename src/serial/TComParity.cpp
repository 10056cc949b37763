#include "TComParity.h"

#include "TCustomComPort.h"

namespace vyx {

void TComParity::SetBits(TParityBits value) {
    port.StoreAndApply(bits, value, ComGroup::Line);
}
void TComParity::SetCheck(bool value) {
    port.StoreAndApply(check, value, ComGroup::Line);
}
void TComParity::SetReplace(bool value) {
    port.StoreAndApply(replace, value, ComGroup::Line);
}
void TComParity::SetReplaceChar(std::uint8_t value) {
    port.StoreAndApply(replaceChar, value, ComGroup::Line);
}

}  // namespace vyx
