// Data items handed to the formatted-record interpreter.
//
// A write or read names its values the way a Fortran I/O list does: scalars,
// whole arrays (recio::array) and texts. The interpreter walks the format and
// the item list together, one data edit descriptor per value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace recio {

enum class Kind { F32, F64, I8, I16, I32, I64, Text };

// A contiguous run of values written or read as one list item.
template <class T>
struct Array {
    T* data;
    std::size_t count;
};
template <class T>
Array<T> array(T* data, std::size_t count) {
    return {data, count};
}
template <class T>
Array<const T> array(const T* data, std::size_t count) {
    return {data, count};
}

// A text padded with blanks (or cut) to a declared length, as a fixed-length
// text variable holds it: what an A edit descriptor then writes.
inline std::string padded(std::string_view text, std::size_t length) {
    std::string s(text.substr(0, length));
    s.resize(length, ' ');
    return s;
}

// A text of fixed declared length, read with Fortran's A rules: a field wider
// than the length keeps its rightmost characters, a narrower one is padded.
struct FixedText {
    std::string* text;
    int length;
};
inline FixedText fixed_text(std::string& text, int length) {
    return {&text, length};
}

// One output item: a scalar held by value, or an array by pointer.
struct OutItem {
    Kind kind = Kind::I32;
    const void* data = nullptr;  // array base; null for a scalar
    std::size_t count = 1;
    union {
        float f;
        double d;
        std::int64_t i;
    } v{};
    std::string_view text;

    static OutItem scalar_f32(float x) {
        OutItem o;
        o.kind = Kind::F32;
        o.v.f = x;
        return o;
    }
    static OutItem scalar_f64(double x) {
        OutItem o;
        o.kind = Kind::F64;
        o.v.d = x;
        return o;
    }
    static OutItem scalar_int(Kind k, std::int64_t x) {
        OutItem o;
        o.kind = k;
        o.v.i = x;
        return o;
    }
    static OutItem scalar_text(std::string_view s) {
        OutItem o;
        o.kind = Kind::Text;
        o.text = s;
        return o;
    }
};

// One input item: where the values go.
struct InItem {
    Kind kind = Kind::I32;
    void* data = nullptr;
    std::size_t count = 1;
    int text_length = -1;  // Text: declared length, or -1 to take the field as it is
};

template <class T>
constexpr Kind kind_of() {
    if constexpr (std::is_same_v<T, float>)
        return Kind::F32;
    else if constexpr (std::is_same_v<T, double>)
        return Kind::F64;
    else if constexpr (std::is_same_v<T, std::int8_t>)
        return Kind::I8;
    else if constexpr (std::is_same_v<T, std::int16_t>)
        return Kind::I16;
    else if constexpr (std::is_same_v<T, std::int32_t>)
        return Kind::I32;
    else if constexpr (std::is_same_v<T, std::int64_t>)
        return Kind::I64;
    else
        static_assert(sizeof(T) == 0, "unsupported item type");
}

// ---- conversion of call arguments to items ----

inline OutItem to_out(float x) {
    return OutItem::scalar_f32(x);
}
inline OutItem to_out(double x) {
    return OutItem::scalar_f64(x);
}
inline OutItem to_out(std::int8_t x) {
    return OutItem::scalar_int(Kind::I8, x);
}
inline OutItem to_out(std::int16_t x) {
    return OutItem::scalar_int(Kind::I16, x);
}
inline OutItem to_out(std::int32_t x) {
    return OutItem::scalar_int(Kind::I32, x);
}
inline OutItem to_out(std::int64_t x) {
    return OutItem::scalar_int(Kind::I64, x);
}
inline OutItem to_out(std::string_view s) {
    return OutItem::scalar_text(s);
}
inline OutItem to_out(const std::string& s) {
    return OutItem::scalar_text(s);
}
inline OutItem to_out(const char* s) {
    return OutItem::scalar_text(s);
}
template <class T>
OutItem to_out(Array<T> a) {
    OutItem o;
    o.kind = kind_of<std::remove_const_t<T>>();
    o.data = a.data;
    o.count = a.count;
    return o;
}

template <class T>
InItem to_in(T& x) {
    static_assert(std::is_arithmetic_v<T>, "read into a number, a text or an array");
    return {kind_of<T>(), &x, 1, -1};
}
inline InItem to_in(std::string& s) {
    return {Kind::Text, &s, 1, -1};
}
inline InItem to_in(FixedText t) {
    return {Kind::Text, t.text, 1, t.length};
}
template <class T>
InItem to_in(Array<T> a) {
    return {kind_of<T>(), a.data, a.count, -1};
}

}  // namespace recio

namespace recio {

// Value number `index` of an output item, widened exactly.
inline double real_at(const OutItem& o, std::size_t index) {
    switch (o.kind) {
        case Kind::F32:
            return static_cast<double>(o.data ? static_cast<const float*>(o.data)[index] : o.v.f);
        case Kind::F64:
            return o.data ? static_cast<const double*>(o.data)[index] : o.v.d;
        default:
            return 0.0;
    }
}
inline std::int64_t int_at(const OutItem& o, std::size_t index) {
    if (!o.data) return o.v.i;
    switch (o.kind) {
        case Kind::I8:
            return static_cast<const std::int8_t*>(o.data)[index];
        case Kind::I16:
            return static_cast<const std::int16_t*>(o.data)[index];
        case Kind::I32:
            return static_cast<const std::int32_t*>(o.data)[index];
        case Kind::I64:
            return static_cast<const std::int64_t*>(o.data)[index];
        default:
            return 0;
    }
}

}  // namespace recio
