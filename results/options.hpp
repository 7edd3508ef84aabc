// Command-line options of the view tools: positional arguments and
// "--name value" (or "--name=value") options, some of which may repeat.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace results {

struct Options {
    std::vector<std::string> positional;
    std::map<std::string, std::vector<std::string>> values;

    bool has(const std::string& name) const { return values.count(name) != 0; }
    // The last value given, or def.
    std::string get(const std::string& name, const std::string& def = "") const;
    const std::vector<std::string>& all(const std::string& name) const;
    double number(const std::string& name, double def) const;
    // "A,B" as two numbers (also "AxB" for sizes).
    std::vector<double> numbers(const std::string& name) const;
};

// Parses argv[first..]; every option must be one of `known` or of `flags`
// (names without the leading dashes; a flag takes no value). Throws
// InputError for an unknown option or a missing value.
Options parse_options(int argc, const char* const* argv, int first,
                      const std::set<std::string>& known, const std::set<std::string>& flags = {});

// The options that name files the view tools read.
inline const std::set<std::string> INPUT_OPTIONS = {"site", "summary", "pcd", "dumps", "base"};

// Refuses (InputError) a file to write that would replace an existing file
// of the suite (a site's grid, summary, point or resampled grid file, a
// placement summary, a control or series file, see
// suitefiles::is_suite_file_name) or one of the run's inputs (the positional
// files and those of INPUT_OPTIONS), unless --force is given.
void check_output_file(const Options& o, const std::string& path);

// Numbers separated by commas (or an "x" between two sizes).
std::vector<double> parse_numbers(const std::string& text, const std::string& what);

}  // namespace results
