#include "platform/tests/testing/scratch.h"

#include <atomic>
#include <chrono>
#include <random>

namespace testing_support {

std::string UniqueName(const std::string& prefix) {
    static std::atomic<unsigned> counter{0};
    static const auto seed = std::random_device{}() ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    return prefix + "-" + std::to_string(seed % 1000000u) + "-" + std::to_string(++counter);
}

}  // namespace testing_support
