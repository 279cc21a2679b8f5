// Substrings, padding, reversal and quoting. Texts are bytes; every
// length and count is a byte count. The routines that build a text write into memory the
// caller sized with the matching *_size routine; a size of 0 means the result cannot be
// asked of the server's allocator (its size argument is an int32).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ardudf::text {

// Largest size the result allocator takes.
inline constexpr std::size_t max_result_size = INT32_MAX;

// size when the allocator can be asked for it, else 0.
constexpr std::size_t checked_size(std::size_t size) noexcept { return size <= max_result_size ? size : 0; }

// A length as the int32 the server reads; longer texts cannot come from the server.
constexpr std::int32_t saturate_int32(std::size_t n) noexcept {
    return n < static_cast<std::size_t>(INT32_MAX) ? static_cast<std::int32_t>(n) : INT32_MAX;
}

// The first / last min(len, length) bytes, len taken as unsigned: a negative len keeps the
// whole text.
std::string_view left(std::string_view text, std::int32_t len) noexcept;
std::string_view right(std::string_view text, std::int32_t len) noexcept;

// The byte a pad or delimiter argument stands for: its first byte. An empty one stands for
// NUL, which matches no byte of a text and, as padding, ends the text where it starts.
constexpr char first_byte(std::string_view t) noexcept { return t.empty() ? '\0' : t.front(); }

// Length of the text padded to len: len when the text is shorter (unsigned comparison),
// else the text's own length. A negative len keeps the text as it is. cap: the longest
// result the caller can hand back; the text itself is never cut, however long.
std::size_t lpad_length(std::size_t length, std::int32_t len, std::size_t cap = SIZE_MAX) noexcept;
// Writes width bytes (width >= text.size()): the pad byte, then the text. No terminator.
// Returns the length of the result as a C string reads it: width, or 0 when a NUL pad
// went first.
std::size_t lpad(std::string_view text, std::size_t width, char pad, char* out) noexcept;

// Writes text.size() bytes, the last first. No terminator.
void reverse(std::string_view text, char* out) noexcept;

// 2 * length + 3: room for every byte doubled, two quotes and the terminator (0 if too big).
std::size_t quote_literal_size(std::size_t length) noexcept;
// Writes 'text' with every inner quote doubled and the terminator; returns the length
// written before the terminator.
std::size_t quote_literal(std::string_view text, char* out) noexcept;

} // namespace ardudf::text
