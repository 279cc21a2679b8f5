#include "core/text/tokens.h"

namespace ardudf::text {

std::size_t skip_delimiters(std::string_view text, std::size_t p, char delimiter) noexcept {
    while (p < text.size() && text[p] == delimiter) ++p;
    return p;
}

std::size_t skip_token(std::string_view text, std::size_t p, char delimiter) noexcept {
    p = skip_delimiters(text, p, delimiter);
    const std::size_t next = text.find(delimiter, p); // memchr
    return next != std::string_view::npos ? next : text.size();
}

std::string_view first_token(std::string_view text, char delimiter) noexcept {
    const std::size_t start = skip_delimiters(text, 0, delimiter);
    return text.substr(start, skip_token(text, start, delimiter) - start);
}

std::string_view after_first_token(std::string_view text, char delimiter) noexcept {
    return text.substr(skip_delimiters(text, skip_token(text, 0, delimiter), delimiter));
}

std::size_t find_part(std::string_view text, std::string_view part) noexcept {
    const std::size_t at = text.find(part);
    return at != std::string_view::npos ? at + 1 : 0;
}

} // namespace ardudf::text
