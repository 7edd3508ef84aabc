#include "recio/random.hpp"

#include <ctime>

namespace recio {

int clock_seconds() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_sec % 60;
}

}  // namespace recio
