#include "Terminal.h"

namespace vyx::cli {

namespace {

constexpr int UsualScreenRows = 24;

}  // namespace

bool FitsInPlace(std::size_t rows, int screenRows) {
    const int screen = screenRows > 0 ? screenRows : UsualScreenRows;
    return rows < static_cast<std::size_t>(screen);
}

}  // namespace vyx::cli
