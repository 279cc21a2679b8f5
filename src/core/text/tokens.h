// Delimited lists and searching. A list is a text of tokens separated by one delimiter
// byte; a run of delimiters counts as one separator. The views hold no NUL byte (they come
// from C strings), so a NUL delimiter never matches: the whole text is one token.
#pragma once

#include <cstddef>
#include <string_view>

namespace ardudf::text {

// From p, past the delimiters; the position of the first other byte or the end.
std::size_t skip_delimiters(std::string_view text, std::size_t p, char delimiter) noexcept;
// From p, past the delimiters and then the token; the position of the next delimiter or the end.
std::size_t skip_token(std::string_view text, std::size_t p, char delimiter) noexcept;

// The first token (empty when the text holds only delimiters).
std::string_view first_token(std::string_view text, char delimiter) noexcept;
// What follows the first token and the delimiters behind it, unchanged.
std::string_view after_first_token(std::string_view text, char delimiter) noexcept;

// 1-based position of the first occurrence of part in text, 0 when there is none; an
// empty part is found at 1.
std::size_t find_part(std::string_view text, std::string_view part) noexcept;

} // namespace ardudf::text
