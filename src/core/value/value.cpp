#include "core/value/value.h"

#include "ardudf_version.h"

namespace ardudf::value {
namespace {

constexpr bool is_space(unsigned char c) noexcept { return c == ' ' || (c >= 9 && c <= 13); }

} // namespace

IdGenerator& thread_generator() noexcept {
    thread_local IdGenerator generator;
    return generator;
}

void unique_id(IdGenerator& generator, std::size_t len, char* out) noexcept {
    static constexpr char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (std::size_t i = 0; i < len; ++i) out[i] = digits[generator.draw() % 36];
}

std::int32_t to_int32(std::string_view text) noexcept {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && is_space(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::uint32_t limit = negative ? 2147483648u : 2147483647u;
    std::uint64_t value = 0;
    for (; i < n; ++i) {
        const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
        if (digit > 9) break;
        value = value * 10 + digit;
        if (value >= limit) { // clamped; further digits cannot bring it back
            value = limit;
            break;
        }
    }
    // -2147483648 is representable only as the negation done in 64 bits.
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value));
}

std::string_view release_and_face(Face face) noexcept {
    return face == Face::legacy ? "ardudf " ARDUDF_VERSION " legacy" : "ardudf " ARDUDF_VERSION " UDR";
}

} // namespace ardudf::value
