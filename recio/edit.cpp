#include "recio/edit.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace recio::edit {
namespace {

std::string stars(int w) {
    return std::string(w > 0 ? static_cast<std::size_t>(w) : 0, '*');
}

std::string right_justify(const std::string& s, int w) {
    if (static_cast<int>(s.size()) > w) return stars(w);
    return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

// NaN and infinities as the runtime writes them.
std::string nonfinite_field(double value, int w) {
    if (std::isnan(value)) return w < 3 ? stars(w) : right_justify("NaN", w);
    std::string sign = value < 0 ? "-" : "";
    std::string word = w >= 8 + static_cast<int>(sign.size()) ? "Infinity" : "Inf";
    return right_justify(sign + word, w);
}

// Shortens "0.xxx" to ".xxx" when the field is one column short of holding it.
std::string fit_optional_zero(std::string body, bool negative, int w) {
    int need = static_cast<int>(body.size()) + (negative ? 1 : 0);
    if (need > w && body.size() > 1 && body[0] == '0' && body[1] == '.') body.erase(0, 1);
    return right_justify((negative ? "-" : "") + body, w);
}

// 10 to the power d, built by repeated multiplication in the value's precision.
template <class R>
R power_of_ten(int d) {
    R r = 1;
    for (int i = 0; i < (d >= 0 ? d : -d); ++i) r *= 10;
    return d >= 0 ? r : R(1) / r;
}

// G editing: the runtime compares the value with 10**k scaled by (1 - 0.5/10**d),
// in the value's own precision, to choose F(w-n).(d-k) followed by n blanks, or Ew.d.
template <class R>
std::string general_field_impl(R value, int w, int d, int e) {
    if (!std::isfinite(value)) return nonfinite_field(static_cast<double>(value), w);
    R m = std::fabs(value);
    const R r = R(0.5);
    R exp_d = power_of_ten<R>(d);
    R r_sc = R(1) - r / exp_d;
    volatile R temp = static_cast<R>(0.1 * static_cast<double>(r_sc));
    if ((m > 0 && (m < temp || r >= exp_d - m)) || d == 0)
        return exp_field(static_cast<double>(value), w, d, e);

    int low = 0, high = d + 1, mid = 0, lbound = 0, ubound = d + 1;
    while (low <= high) {
        mid = (low + high) / 2;
        temp = power_of_ten<R>(mid - 1) * r_sc;
        if (m < temp) {
            ubound = mid;
            if (ubound == lbound + 1) break;
            high = mid - 1;
        } else if (m > temp) {
            lbound = mid;
            if (ubound == lbound + 1) {
                ++mid;
                break;
            }
            low = mid + 1;
        } else {
            ++mid;
            break;
        }
    }
    int npad = e <= 0 ? 4 : e + 2;
    if (npad >= w) npad = w - 1;
    int decimals = m == 0 ? d - 1 : d + 1 - mid;
    std::string f = fixed_field(static_cast<double>(value), w - npad, decimals);
    if (f[0] == '*') return stars(w);
    return f + std::string(static_cast<std::size_t>(npad), ' ');
}

// List-directed reals: G form with `digits` significant digits in a field of
// width w, the E form written with one digit before the point (1P scaling).
template <class R>
std::string list_real(R value, int w, int digits) {
    if (!std::isfinite(value)) return nonfinite_field(static_cast<double>(value), w);
    R m = std::fabs(value);
    const R exp_d = power_of_ten<R>(digits);
    const R r_sc = R(1) - R(0.5) / exp_d;
    volatile R low_limit = static_cast<R>(0.1 * static_cast<double>(r_sc));
    if (m > 0 && (m < low_limit || R(0.5) >= exp_d - m)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*E", digits - 1, static_cast<double>(value));
        return right_justify(buf, w);
    }
    return general_field_impl<R>(value, w, digits, 0);
}

template <class R, class Convert>
Parse read_real_impl(std::string_view field, int d, R& out, Convert convert) {
    std::string mant;
    bool negative = false, seen_point = false, seen_digit = false;
    int after_point = 0;
    std::size_t i = 0;
    std::string s;
    for (char c : field)
        if (c != ' ' && c != '\t') s += c;
    if (s.empty()) {
        out = 0;
        return Parse::Ok;
    }
    if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c >= '0' && c <= '9') {
            mant += c;
            seen_digit = true;
            if (seen_point) ++after_point;
        } else if (c == '.' && !seen_point) {
            seen_point = true;
        } else {
            break;
        }
    }
    if (!seen_digit) return Parse::Bad;
    long exponent = 0;
    if (i < s.size()) {
        char c = s[i];
        if (c == 'E' || c == 'e' || c == 'D' || c == 'd' || c == 'Q' || c == 'q')
            ++i;
        else if (c != '+' && c != '-')
            return Parse::Bad;
        bool exp_negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) exp_negative = s[i++] == '-';
        if (i == s.size()) return Parse::Bad;
        for (; i < s.size(); ++i) {
            if (s[i] < '0' || s[i] > '9') return Parse::Bad;
            if (exponent < 100000) exponent = exponent * 10 + (s[i] - '0');
        }
        if (exp_negative) exponent = -exponent;
    }
    exponent -= seen_point ? after_point : d;
    std::string text = (negative ? "-" : "") + mant + "e" + std::to_string(exponent);
    errno = 0;
    char* end = nullptr;
    R v = convert(text.c_str(), &end);
    if (errno == ERANGE && std::isinf(v)) return Parse::Range;
    out = v;
    return Parse::Ok;
}

}  // namespace

std::string int_field(std::int64_t value, int w, int m) {
    bool negative = value < 0;
    std::uint64_t mag =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(mag);
    if (m == 0 && value == 0) digits.clear();
    if (m > 0 && static_cast<int>(digits.size()) < m)
        digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
    return right_justify((negative ? "-" : "") + digits, w);
}

std::string fixed_field(double value, int w, int d) {
    if (!std::isfinite(value)) return nonfinite_field(value, w);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%#.*f", d < 0 ? 0 : d, std::fabs(value));
    return fit_optional_zero(buf, std::signbit(value), w);
}

std::string exp_field(double value, int w, int d, int e) {
    if (!std::isfinite(value)) return nonfinite_field(value, w);
    double m = std::fabs(value);
    std::string digits;
    int exponent = 0;
    if (m == 0) {
        digits.assign(static_cast<std::size_t>(d > 0 ? d : 0), '0');
    } else {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*e", d > 0 ? d - 1 : 0, m);
        std::string s = buf;
        std::size_t epos = s.find('e');
        if (d > 0) {
            digits = s.substr(0, 1);
            if (d > 1) digits += s.substr(2, epos - 2);
        }
        exponent = std::atoi(s.c_str() + epos + 1) + 1;
    }
    int aexp = exponent < 0 ? -exponent : exponent;
    std::string expo;
    char sign = exponent < 0 ? '-' : '+';
    if (e > 0) {
        std::string ds = std::to_string(aexp);
        if (static_cast<int>(ds.size()) > e) return stars(w);
        expo = std::string("E") + sign + std::string(static_cast<std::size_t>(e) - ds.size(), '0') +
               ds;
    } else if (aexp <= 99) {
        expo = std::string("E") + sign + (aexp < 10 ? "0" : "") + std::to_string(aexp);
    } else if (aexp <= 999) {
        expo = sign + std::to_string(aexp);
    } else {
        return stars(w);
    }
    return fit_optional_zero("0." + digits + expo, std::signbit(value), w);
}

std::string general_field(float value, int w, int d, int e) {
    return general_field_impl<float>(value, w, d, e);
}
std::string general_field(double value, int w, int d, int e) {
    return general_field_impl<double>(value, w, d, e);
}

std::string text_field(std::string_view text, int w) {
    if (w < 0) return std::string(text);
    if (static_cast<int>(text.size()) >= w)
        return std::string(text.substr(0, static_cast<std::size_t>(w)));
    return std::string(static_cast<std::size_t>(w) - text.size(), ' ') + std::string(text);
}

std::string list_value(const OutItem& item, std::size_t index) {
    switch (item.kind) {
        case Kind::F32:
            return list_real<float>(static_cast<float>(real_at(item, index)), 16, 9);
        case Kind::F64:
            return list_real<double>(real_at(item, index), 25, 17);
        case Kind::I8:
            return int_field(int_at(item, index), 4);
        case Kind::I16:
            return int_field(int_at(item, index), 6);
        case Kind::I32:
            return int_field(int_at(item, index), 11);
        case Kind::I64:
            return int_field(int_at(item, index), 20);
        case Kind::Text:
            return std::string(item.text);
    }
    return {};
}

Parse read_real(std::string_view field, int d, float& out) {
    return read_real_impl<float>(field, d, out,
                                 [](const char* s, char** end) { return std::strtof(s, end); });
}
Parse read_real(std::string_view field, int d, double& out) {
    return read_real_impl<double>(field, d, out,
                                  [](const char* s, char** end) { return std::strtod(s, end); });
}

Parse read_int(std::string_view field, std::int64_t& out) {
    std::string s;
    for (char c : field)
        if (c != ' ' && c != '\t') s += c;
    out = 0;
    if (s.empty()) return Parse::Ok;
    std::size_t i = 0;
    bool negative = false;
    if (s[0] == '+' || s[0] == '-') negative = s[i++] == '-';
    if (i == s.size()) return Parse::Bad;
    std::int64_t v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return Parse::Bad;
        if (v > (std::numeric_limits<std::int64_t>::max() - 9) / 10) return Parse::Range;
        v = v * 10 + (s[i] - '0');
    }
    out = negative ? -v : v;
    return Parse::Ok;
}

bool fits(Kind kind, std::int64_t v) {
    switch (kind) {
        case Kind::I8:
            return v >= INT8_MIN && v <= INT8_MAX;
        case Kind::I16:
            return v >= INT16_MIN && v <= INT16_MAX;
        case Kind::I32:
            return v >= INT32_MIN && v <= INT32_MAX;
        default:
            return true;
    }
}

}  // namespace recio::edit
