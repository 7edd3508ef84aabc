#include "results/options.hpp"

#include <cmath>
#include <cstdlib>

#include "results/errors.hpp"

namespace results {

std::string Options::get(const std::string& name, const std::string& def) const {
    auto it = values.find(name);
    return it == values.end() ? def : it->second.back();
}

const std::vector<std::string>& Options::all(const std::string& name) const {
    static const std::vector<std::string> none;
    auto it = values.find(name);
    return it == values.end() ? none : it->second;
}

std::vector<double> parse_numbers(const std::string& text, const std::string& what) {
    std::vector<double> out;
    std::string t = text;
    for (char& c : t)
        if (c == 'x' || c == 'X') c = ',';
    std::size_t pos = 0;
    while (pos <= t.size()) {
        const std::size_t end = t.find(',', pos);
        const std::string item =
            t.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        char* stop = nullptr;
        const double v = std::strtod(item.c_str(), &stop);
        if (item.empty() || stop == item.c_str() || *stop != '\0')
            throw InputError("NOT A NUMBER IN " + what + ": \"" + text + "\"");
        // NaN, Inf or a value beyond a double would reach the axis and tick
        // arithmetic of the pictures, which cannot end on them.
        if (!std::isfinite(v))
            throw InputError("NOT A FINITE NUMBER IN " + what + ": \"" + text + "\"");
        out.push_back(v);
        if (end == std::string::npos) break;
        pos = end + 1;
    }
    return out;
}

double Options::number(const std::string& name, double def) const {
    if (!has(name)) return def;
    const std::vector<double> v = parse_numbers(get(name), "--" + name);
    if (v.size() != 1) throw InputError("--" + name + " TAKES ONE NUMBER");
    return v[0];
}

std::vector<double> Options::numbers(const std::string& name) const {
    if (!has(name)) return {};
    return parse_numbers(get(name), "--" + name);
}

Options parse_options(int argc, const char* const* argv, int first,
                      const std::set<std::string>& known, const std::set<std::string>& flags) {
    Options o;
    for (int i = first; i < argc; ++i) {
        std::string a = argv[i];
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            std::string name = a.substr(2), value;
            const std::size_t eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name = name.substr(0, eq);
            } else if (flags.count(name)) {
                o.values[name].push_back("");
                continue;
            } else {
                if (i + 1 >= argc) throw InputError("OPTION --" + name + " NEEDS A VALUE");
                value = argv[++i];
            }
            if (flags.count(name)) throw InputError("OPTION --" + name + " TAKES NO VALUE");
            if (!known.count(name)) throw InputError("UNKNOWN OPTION --" + name);
            o.values[name].push_back(value);
        } else if (a == "-o") {
            if (i + 1 >= argc) throw InputError("OPTION -o NEEDS A FILE NAME");
            o.values["output"].push_back(argv[++i]);
        } else {
            o.positional.push_back(a);
        }
    }
    return o;
}

}  // namespace results
