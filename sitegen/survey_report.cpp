// The console side of the survey adaptation: RBATH's banner and what it met.
#include "recio/console.hpp"
#include "sitegen/survey.hpp"

namespace survey {

void show_banner() {
    recio::console_write(
        "(/,/,/,/,1X,'        T A K E    A    B R E A K !',/,1X,48('-'),/,"
        "1X,'ADAPTATION OF SURVEY DATA TO THE DISPOSAL AREA',/,"
        "1X,'MAKE TAKE 2 - 15 MINUTES DEPENDING UPON SIZE OF',/,"
        "1X,'DISPOSAL AREA INVOLVED.',/)");
}

void show_outcome(const Outcome& outcome, const SurveySpec& source) {
    if (!outcome.file_found) {
        recio::console_write(
            "(/,/,1X,'The specified survey file was not found',/,/,1X,'Hit \"RETURN\" to quit',/)");
        recio::keyboard_line();
        return;
    }
    if (!outcome.columns_known)
        recio::console_write(
            "(1X,'THE SURVEY COLUMN NAMES \"',A8,'\" \"',A8,'\" \"',A8,'\" ARE NOT RECOGNISED:',/,"
            "1X,'NO SURVEY POINT IS READ (NAME THE COLUMNS N OR LAT, E OR LONG, D OR DEPTH)')",
            recio::padded(source.columns[0], 8), recio::padded(source.columns[1], 8),
            recio::padded(source.columns[2], 8));
}

}  // namespace survey
