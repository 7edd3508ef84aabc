// placer: simulates a disposal activity at one site, load by load.
#include <cctype>
#include <exception>
#include <new>
#include <string>

#include "placer/driver.hpp"
#include "recio/console.hpp"
#include "recio/format.hpp"

int main() {
    try {
        return placer::run(placer::RunOptions{});
    } catch (const recio::RecordError& e) {
        recio::console_list(e.what());
    } catch (const std::bad_alloc&) {
        recio::console_list("PLACER STOPPED: NOT ENOUGH MEMORY");
    } catch (const std::exception& e) {
        std::string what = e.what();
        for (char& c : what) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        recio::console_list("PLACER STOPPED: " + what);
    }
    return placer::RUN_FAILED;
}
