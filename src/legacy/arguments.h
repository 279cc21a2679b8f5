// The server's arguments as the exports read them: every one arrives by reference, and a
// null pointer (a declaration with the NULL keyword hands one over for SQL NULL) reads as the
// empty text or as 0.
#pragma once

#include "core/text/strings.h"

#include <cstdint>
#include <string_view>

namespace ardudf::legacy {

inline std::string_view read_text(const char* text) noexcept { return text != nullptr ? text : ""; }
inline std::int32_t read_int(const std::int32_t* value) noexcept { return value != nullptr ? *value : 0; }
inline double read_double(const double* value) noexcept { return value != nullptr ? *value : 0.0; }
// The core's rule over at most the first byte: a long pad or delimiters is never measured.
inline char first_byte(const char* text) noexcept {
    return text::first_byte(text != nullptr ? std::string_view(text, text[0] != '\0' ? 1 : 0) : std::string_view());
}

} // namespace ardudf::legacy
