#include "TComBuffer.h"

#include "TCustomComPort.h"

namespace vyx {

namespace {

std::int32_t Even(std::int32_t value) {
    return value > 0 && value % 2 != 0 ? value - 1 : value;
}

}  // namespace

void TComBuffer::SetInputSize(std::int32_t value) {
    port.StoreAndApply(inputSize, Even(value), ComGroup::Buffer);
}
void TComBuffer::SetOutputSize(std::int32_t value) {
    port.StoreAndApply(outputSize, Even(value), ComGroup::Buffer);
}

}  // namespace vyx
