#include "core/text/cleaning.h"

#include <cstdint>

namespace ardudf::text {
namespace {

// Every byte to its replacement, built once from the pairs: one load per byte.
constexpr std::array<unsigned char, 256> build_plain_table() {
    std::array<unsigned char, 256> table{};
    for (std::size_t b = 0; b < table.size(); ++b) table[b] = static_cast<unsigned char>(b);
    for (std::size_t i = 0; i < accented_count; ++i)
        table[accented_bytes[i]] = static_cast<unsigned char>(plain_letters[i]);
    return table;
}
constexpr std::array<unsigned char, 256> plain_table = build_plain_table();

constexpr bool pairs_are_sound() {
    for (std::size_t i = 0; i < accented_count; ++i) {
        if (accented_bytes[i] < 0x80) return false;
        const char c = plain_letters[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
        for (std::size_t j = 0; j < i; ++j)
            if (accented_bytes[j] == accented_bytes[i]) return false;
    }
    return true;
}
static_assert(pairs_are_sound(), "accented bytes must be distinct non-ASCII bytes mapped to letters");

} // namespace

std::string_view prefix_code(bool first, bool second) noexcept {
    if (first) return second ? "Y_" : "S_";
    return second ? "X_" : "U_";
}

std::size_t keep_digits(std::string_view text, char* out) noexcept {
    // Branch-free: every byte is stored, the position moves on only for a digit, so mixed
    // text costs no mispredicted branches.
    std::size_t n = 0;
    for (const char c : text) {
        out[n] = c;
        n += static_cast<unsigned char>(c - '0') <= 9 ? 1 : 0;
    }
    return n;
}

void remove_diacritics(std::string_view text, char* out) noexcept {
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(plain_table[in[i]]);
}

} // namespace ardudf::text
