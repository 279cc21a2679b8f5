// Arguments decoded from fuzz input: each value is either one of the values that break
// naive code (the limits, NaN, infinities, subnormals, 4e-7 under the 6-place tolerance)
// or a raw bit pattern, and any argument pointer may be null.
#pragma once

#include "catalogue/catalogue.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

namespace fuzz {

inline std::int32_t consume_int32(FuzzedDataProvider& in) {
    static constexpr std::int32_t special[] = {0,
                                               1,
                                               -1,
                                               2,
                                               3,
                                               4,
                                               5,
                                               8,
                                               9,
                                               10,
                                               11,
                                               31,
                                               32767,
                                               32768,
                                               65535,
                                               65536,
                                               67560,
                                               1600,
                                               1601,
                                               1899,
                                               1900,
                                               2000,
                                               2024,
                                               30827,
                                               30828,
                                               std::numeric_limits<std::int32_t>::max(),
                                               std::numeric_limits<std::int32_t>::max() - 1,
                                               std::numeric_limits<std::int32_t>::min(),
                                               std::numeric_limits<std::int32_t>::min() + 1,
                                               1 << 20,
                                               (1 << 20) + 1,
                                               -(1 << 20)};
    const std::uint8_t how = in.ConsumeIntegral<std::uint8_t>();
    if (how < 96) return special[how % std::size(special)];
    if (how < 160) return in.ConsumeIntegralInRange<std::int32_t>(-100, 100);
    return in.ConsumeIntegral<std::int32_t>();
}

inline double consume_double(FuzzedDataProvider& in) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    static const double special[] = {std::numeric_limits<double>::quiet_NaN(),
                                     -std::numeric_limits<double>::quiet_NaN(),
                                     std::numeric_limits<double>::signaling_NaN(),
                                     inf,
                                     -inf,
                                     0.0,
                                     -0.0,
                                     std::numeric_limits<double>::denorm_min(),
                                     -std::numeric_limits<double>::denorm_min(),
                                     std::numeric_limits<double>::min(),
                                     std::numeric_limits<double>::max(),
                                     -std::numeric_limits<double>::max(),
                                     4e-7,
                                     -4e-7,
                                     5e-7,
                                     -5e-7,
                                     1e-12,
                                     0.5,
                                     1.0,
                                     -1.0,
                                     100.0,
                                     -100.0,
                                     0.999999,
                                     -0.25,
                                     45356.5675,
                                     -109205.0,
                                     -109205.000001,
                                     -109206.0,
                                     10565994.0,
                                     10565994.1,
                                     10565736.0,
                                     9.2233720368547758e18,
                                     -9.2233720368547758e18,
                                     1e300,
                                     -1e300,
                                     2147483648.0,
                                     -2147483649.0};
    const std::uint8_t how = in.ConsumeIntegral<std::uint8_t>();
    if (how < 96) return special[how % std::size(special)];
    if (how < 144) return in.ConsumeFloatingPointInRange(-200000.0, 11000000.0); // the calendar's domain
    if (how < 192) return static_cast<double>(in.ConsumeIntegralInRange<std::int64_t>(-100000, 100000)) / 100.0;
    return std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
}

// A text in a heap block of exactly its length plus the terminator, so that a read one
// byte past the terminator is caught.
struct Text {
    std::unique_ptr<char[]> bytes;
    std::size_t length = 0;
    const char* get() const { return bytes.get(); }
};

inline Text make_text(const std::string& s) {
    Text t;
    t.length = std::strlen(s.c_str());
    t.bytes.reset(new char[t.length + 1]);
    std::memcpy(t.bytes.get(), s.c_str(), t.length + 1);
    return t;
}

// One argument of an export. null: the pointer handed over is null.
struct Arg {
    ardudf::catalogue::Kind kind = ardudf::catalogue::Kind::none;
    bool null = false;
    Text text;
    std::int32_t i = 0;
    double d = 0.0;

    const void* pointer() const {
        if (null) return nullptr;
        switch (kind) {
        case ardudf::catalogue::Kind::text:
            return text.get();
        case ardudf::catalogue::Kind::int32:
            return &i;
        case ardudf::catalogue::Kind::float64:
            return &d;
        default:
            return nullptr;
        }
    }
    // What the export must read through a null pointer.
    std::string_view text_value() const {
        return null ? std::string_view() : std::string_view(text.get(), text.length);
    }
    std::int32_t int_value() const { return null ? 0 : i; }
    double double_value() const { return null ? 0.0 : d; }
};

// The last text argument takes the rest of the input, the others a bounded piece.
inline Arg consume_arg(FuzzedDataProvider& in, ardudf::catalogue::Kind kind, bool last) {
    Arg a;
    a.kind = kind;
    a.null = in.ConsumeIntegral<std::uint8_t>() < 8;
    switch (kind) {
    case ardudf::catalogue::Kind::text:
        a.text = make_text(last ? in.ConsumeRemainingBytesAsString() : in.ConsumeRandomLengthString(64));
        break;
    case ardudf::catalogue::Kind::int32:
        a.i = consume_int32(in);
        break;
    case ardudf::catalogue::Kind::float64:
        a.d = consume_double(in);
        break;
    default:
        break;
    }
    return a;
}

} // namespace fuzz
