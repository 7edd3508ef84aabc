// placer: simulates a disposal activity at one site, load by load.
#include "placer/driver.hpp"
#include "recio/console.hpp"
#include "recio/format.hpp"

int main() {
    try {
        return placer::run(placer::RunOptions{});
    } catch (const recio::RecordError& e) {
        recio::console_list(e.what());
        return placer::RUN_FAILED;
    }
}
