// The server's arguments as the exports read them: every one arrives by reference, and a
// null pointer (a declaration with the NULL keyword hands one over for SQL NULL) reads as the
// empty text or as 0.
#pragma once

#include <cstdint>
#include <string_view>

namespace ardudf::legacy {

inline std::string_view read_text(const char* text) noexcept { return text != nullptr ? text : ""; }
inline std::int32_t read_int(const std::int32_t* value) noexcept { return value != nullptr ? *value : 0; }
inline double read_double(const double* value) noexcept { return value != nullptr ? *value : 0.0; }
inline char first_byte(const char* text) noexcept { return text != nullptr ? text[0] : '\0'; }

} // namespace ardudf::legacy
