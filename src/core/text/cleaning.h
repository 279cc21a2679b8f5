// Byte-wise cleaning (phone digits, Windows-1250 diacritics) and the prefix codes chosen
// by flag texts ("A" is yes, anything else no).
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace ardudf::text {

// A flag text is yes when its first byte is the upper-case A.
constexpr bool is_yes(std::string_view flag) noexcept { return !flag.empty() && flag.front() == 'A'; }

// "Y_", "S_", "X_" or "U_" for (yes, yes), (yes, no), (no, yes), (no, no).
std::string_view prefix_code(bool first, bool second) noexcept;

// Writes the bytes '0' to '9' of text, in order; returns how many. out has room for
// text.size() bytes.
std::size_t keep_digits(std::string_view text, char* out) noexcept;

// The accented letters of Windows-1250 and their plain letters, in pairs by position.
inline constexpr std::size_t accented_count = 81;
inline constexpr std::array<unsigned char, accented_count> accented_bytes{
    0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x9A, 0x9C, 0x9D, 0x9E, 0x9F, 0xA3, 0xA5, 0xAA, 0xAF, 0xB3, 0xB9, 0xBA,
    0xBC, 0xBE, 0xBF, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD,
    0xCE, 0xCF, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,
    0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF, 0xF0,
    0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE,
};
inline constexpr std::array<char, accented_count> plain_letters{
    'S', 'S', 'T', 'Z', 'Z', 's', 's', 't', 'z', 'z', 'L', 'A', 'S', 'Z', 'l', 'a', 's', // 0x8A .. 0xBA
    'L', 'l', 'z', 'R', 'A', 'A', 'A', 'A', 'L', 'C', 'C', 'C', 'E', 'E', 'E', 'E', 'I', // 0xBC .. 0xCD
    'I', 'D', 'D', 'N', 'N', 'O', 'O', 'O', 'O', 'R', 'U', 'U', 'U', 'U', 'Y', 'T', 's', // 0xCE .. 0xDF
    'r', 'a', 'a', 'a', 'a', 'l', 'c', 'c', 'c', 'e', 'e', 'e', 'e', 'i', 'i', 'd', 'd', // 0xE0 .. 0xF0
    'n', 'n', 'o', 'o', 'o', 'o', 'r', 'u', 'u', 'u', 'u', 'y', 't',                     // 0xF1 .. 0xFE
};

// Writes text.size() bytes: text with each accented letter replaced by its plain letter.
void remove_diacritics(std::string_view text, char* out) noexcept;

} // namespace ardudf::text
