// A survey file: the reader and the writer.
#include "suitefiles/survey.hpp"

#include <cmath>
#include <limits>

#include "suitefiles/record_list.hpp"

namespace suitefiles {

Quantity column_quantity(std::string_view name) {
    std::string two(name.substr(0, 2));
    two.resize(2, ' ');
    if (two == "N " || two == "LA") return Quantity::Northing;
    if (two == "E " || two == "LO") return Quantity::Easting;
    if (two == "D " || two == "DE") return Quantity::Depth;
    return Quantity::Unknown;
}

bool column_order(const std::array<std::string, 3>& names, std::array<Quantity, 3>& order) {
    bool seen[3] = {false, false, false};
    for (std::size_t c = 0; c < 3; ++c) {
        order[c] = column_quantity(names[c]);
        if (order[c] == Quantity::Unknown) return false;
        bool& s = seen[static_cast<int>(order[c])];
        if (s) return false;
        s = true;
    }
    return true;
}

bool read_survey_point(recio::RecordReader& in, const std::array<Quantity, 3>& order,
                       SurveyPoint& p) {
    constexpr float NOT_GIVEN = std::numeric_limits<float>::quiet_NaN();
    float v[3] = {NOT_GIVEN, NOT_GIVEN, NOT_GIVEN};
    if (!in.read_list(v[0], v[1], v[2])) return false;
    // A slash or a null value leaves a value unread: such a point has
    // no position or no depth to give, and the file is not a survey.
    if (std::isnan(v[0]) || std::isnan(v[1]) || std::isnan(v[2]))
        throw recio::RecordError("MISSING VALUE IN FILE " + in.source_name() + ", RECORD " +
                                 std::to_string(in.record_number()) +
                                 ": A SURVEY POINT NEEDS ALL THREE OF ITS VALUES");
    p = SurveyPoint{};
    for (std::size_t c = 0; c < 3; ++c) {
        switch (order[c]) {
            case Quantity::Northing:
                p.north = v[c];
                break;
            case Quantity::Easting:
                p.east = v[c];
                break;
            case Quantity::Depth:
                p.depth = v[c];
                break;
            case Quantity::Unknown:
                break;
        }
    }
    return true;
}

bool read_survey(const std::string& path, const std::array<Quantity, 3>& order,
                 std::vector<SurveyPoint>& points) {
    recio::RecordReader in(path);
    if (!in.is_open()) return false;
    points.clear();
    SurveyPoint p;
    while (read_survey_point(in, order, p)) points.push_back(p);
    return true;
}

std::vector<std::string> survey_records(const std::vector<SurveyPoint>& points,
                                        const std::array<Quantity, 3>& order,
                                        std::string_view format) {
    std::vector<std::string> out;
    out.reserve(points.size());
    for (const SurveyPoint& p : points) {
        float v[3] = {0, 0, 0};
        for (std::size_t c = 0; c < 3; ++c)
            v[c] = order[c] == Quantity::Northing  ? p.north
                   : order[c] == Quantity::Easting ? p.east
                   : order[c] == Quantity::Depth   ? p.depth
                                                   : 0.0f;
        for (std::string& r : recio::format_records(format, v[0], v[1], v[2]))
            out.push_back(std::move(r));
    }
    return out;
}

bool write_survey(const std::string& path, const std::vector<SurveyPoint>& points,
                  const std::array<Quantity, 3>& order, std::string_view format) {
    return write_record_list(path, survey_records(points, order, format));
}

}  // namespace suitefiles
