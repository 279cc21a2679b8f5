// The value functions: the length of a text, a text's presence as a flag, the number at
// the start of a text, the greater and the lesser of two numbers, random identifiers, and
// the release of the module.
// Texts are bytes; a length is a byte count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ardudf::value {

// The length in bytes as the int32 the server reads; longer texts cannot come from the server.
constexpr std::int32_t length(std::string_view text) noexcept {
    return text.size() < static_cast<std::size_t>(INT32_MAX) ? static_cast<std::int32_t>(text.size()) : INT32_MAX;
}

// The flag text of a text's presence: "A" when it has a byte (a blank counts), else "N".
constexpr std::string_view presence_flag(std::string_view text) noexcept { return text.empty() ? "N" : "A"; }

// The identifier generator: a 32-bit linear congruential state, 1 before the first draw.
struct IdGenerator {
    std::uint32_t state = 1;
    // 0..32767, bits 16 to 30 of the next state.
    std::uint32_t draw() noexcept {
        state = state * 214013u + 2531011u;
        return (state >> 16) & 32767u;
    }
};
// The calling thread's generator: every thread starts its own sequence at 1.
IdGenerator& thread_generator() noexcept;
// Writes len characters of 0-9 and A-Z, one draw each. No terminator.
void unique_id(IdGenerator& generator, std::size_t len, char* out) noexcept;

// The decimal number at the start of text: white space (9-13, 32), one sign, digits;
// no digit gives 0, out of range clamps to the int32 limits. No locale.
std::int32_t to_int32(std::string_view text) noexcept;

// a when a > b (a < b), else b: equal values and NaN give b.
constexpr double greatest(double a, double b) noexcept { return a > b ? a : b; }
constexpr double least(double a, double b) noexcept { return a < b ? a : b; }

// The two modules, by the interface the server calls them through.
enum class Face : std::uint8_t { legacy, udr };
// "ardudf 1.2.0 legacy" or "ardudf 1.2.0 UDR": the release this library was built as (the
// project's version) and the module that answers.
std::string_view release_and_face(Face face) noexcept;

} // namespace ardudf::value
