#include "ComTypes.h"

namespace vyx {

std::int32_t BaudRateValue(TBaudRate rate) {
    static constexpr std::int32_t rates[] = {0,     110,    300,    600,   1200,  2400,
                                             4800,  9600,   14400,  19200, 38400, 56000,
                                             57600, 115200, 128000, 256000};
    const int index = static_cast<int>(rate);
    if (index < 0 || index >= static_cast<int>(sizeof rates / sizeof rates[0])) {
        return 0;
    }
    return rates[index];
}

}  // namespace vyx
