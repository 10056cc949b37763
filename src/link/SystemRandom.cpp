#include "SystemRandom.h"

#include <chrono>
#include <exception>
#include <random>

namespace vyx {

std::uint32_t SystemRandomNumber() {
    try {
        return std::random_device()();
    } catch (const std::exception&) {
        return static_cast<std::uint32_t>(
            std::chrono::high_resolution_clock::now().time_since_epoch().count());
    }
}

}  // namespace vyx
