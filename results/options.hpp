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

// Parses argv[first..]; every option must be one of `known` (names without
// the leading dashes), which take a value, or of `flags`, which take none.
// Throws InputError for an unknown option or a missing value.
Options parse_options(int argc, const char* const* argv, int first,
                      const std::set<std::string>& known, const std::set<std::string>& flags = {});

// Numbers separated by commas (or an "x" between two sizes).
std::vector<double> parse_numbers(const std::string& text, const std::string& what);

}  // namespace results
