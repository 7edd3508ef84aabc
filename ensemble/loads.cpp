// The per-load table a placement run leaves beside its report (<output>.CSV):
// a head row of column names, then one row per load. Only the columns named
// here are read, found by their names, so the file may carry others.
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "ensemble/ensemble.hpp"
#include "results/errors.hpp"

namespace ensemble {
namespace {

// The fields of one CSV row; a field may be quoted ("..."), with "" for a quote.
std::vector<std::string> csv_fields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    for (std::string& f : fields) {
        const auto a = f.find_first_not_of(' '), b = f.find_last_not_of(' ');
        f = a == std::string::npos ? "" : f.substr(a, b - a + 1);
    }
    return fields;
}

}  // namespace

LoadTable read_load_table(const std::string& path) {
    LoadTable t;
    std::ifstream in(path);
    if (!in) return t;
    t.found = true;
    std::string line;
    if (!std::getline(in, line)) throw results::InputError(path + ": NO HEAD ROW OF COLUMN NAMES");
    const std::vector<std::string> head = csv_fields(line);
    auto column = [&](const std::string& name) {
        for (std::size_t k = 0; k < head.size(); ++k)
            if (head[k] == name) return k;
        throw results::InputError(path + ": NO COLUMN " + name + " IN THE HEAD ROW");
    };
    const std::size_t status = column("status"), suspended = column("suspended_cuft");
    for (int row = 2; std::getline(in, line); ++row) {
        if (line.find_first_not_of(" \r") == std::string::npos) continue;
        const std::vector<std::string> f = csv_fields(line);
        const std::string where = path + " ROW " + std::to_string(row);
        if (f.size() != head.size())
            throw results::InputError(where + ": " + std::to_string(f.size()) +
                                      " FIELDS, THE HEAD ROW HAS " + std::to_string(head.size()));
        const std::string& s = f[status];
        if (s == "refused")
            ++t.refused;
        else if (s == "failed")
            ++t.failed;
        else if (s != "placed")
            throw results::InputError(where + ", COLUMN status: NOT placed, refused OR failed: \"" +
                                      s + "\"");
        ++t.loads;
        const std::string& v = f[suspended];
        char* end = nullptr;
        const double x = std::strtod(v.c_str(), &end);
        if (v.empty() || *end != '\0' || !std::isfinite(x))
            throw results::InputError(where + ", COLUMN suspended_cuft: NOT A NUMBER: \"" + v +
                                      "\"");
        t.suspended_cuft += x;
    }
    return t;
}

}  // namespace ensemble
