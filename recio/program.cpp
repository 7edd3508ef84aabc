#include "recio/program.hpp"

#include <cctype>
#include <exception>
#include <new>

#include "recio/console.hpp"
#include "recio/file_set.hpp"
#include "recio/folder_lock.hpp"
#include "recio/format.hpp"

namespace recio {
namespace {

std::string upper_case(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

int stopped(const StopTexts& texts, const std::string& message) {
    console_list(message);
    if (!texts.closing.empty()) console_list(texts.closing);
    return STATUS_FAILED;
}

}  // namespace

int run_main(const StopTexts& texts, const std::function<int()>& body) {
    const std::string stop = texts.program + " STOPPED";
    try {
        FolderLock lock;  // held until the body ends, however it ends
        if (texts.holds_folder) {
            const std::string refused = lock.acquire(texts.program);
            if (!refused.empty()) return stopped(texts, refused);
            // A run that died here left its set of files whole but unfinished.
            recover_sets(".");
        }
        return body();
    } catch (const RecordError& e) {
        return stopped(texts, e.what());
    } catch (const std::bad_alloc&) {
        return stopped(texts, stop + ": NOT ENOUGH MEMORY");
    } catch (const std::exception& e) {
        return stopped(texts, stop + ": " + upper_case(e.what()));
    } catch (...) {
        return stopped(texts, stop);
    }
}

}  // namespace recio
