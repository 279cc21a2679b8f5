// What every routine of the UDR module shares: the engine's C++ helpers, the message
// widths taken from the catalogue, and reading and writing message fields.
//
// NULL rule of the module: a NULL argument gives a NULL result and changes nothing, except
// where a function's meaning says otherwise (ib_isnotnull of NULL is 'N'; the credit-note
// opening answers 1 whatever it is given). An error (no memory, a text longer than its
// result field) is raised as an SQL error; nothing is truncated silently.
#pragma once

#define FB_UDR_STATUS_TYPE ::Firebird::ThrowStatusWrapper
#include <firebird/UdrCppEngine.h>

#include "catalogue/catalogue.h"

#include <cstring>
#include <string_view>

namespace ardudf::udr {

using Status = ::Firebird::ThrowStatusWrapper;

// Message width of text argument i / of the text result of an export, in bytes.
consteval unsigned arg_width(std::string_view name, int i) {
    return static_cast<unsigned>(catalogue::udr_width(catalogue::find(name)->widths[static_cast<unsigned>(i)]));
}
consteval unsigned result_width(std::string_view name) {
    return static_cast<unsigned>(catalogue::udr_width(catalogue::find(name)->result_width));
}

// The engine's character-set numbers of the catalogue's character sets. The messages name
// them, so that the bytes a routine sees do not depend on how a database declared it.
consteval unsigned charset_id(std::string_view name) {
    if (name == "WIN1250") return 51;
    if (name != "NONE") throw "a character set without an engine number";
    return 0;
}
consteval unsigned charset_of(std::string_view name) { return charset_id(catalogue::find(name)->charset); }

// A text argument as the legacy module sees it: up to the first NUL byte, if any (a
// CSTRING stops there), so that both modules give the same results.
template <unsigned N>
std::string_view text_of(const ::Firebird::FbVarChar<N>& field) noexcept {
    const std::size_t length = field.length <= N ? field.length : N;
    const void* nul = std::memchr(field.str, '\0', length);
    return {field.str, nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - field.str) : length};
}

// string right truncation: a result of length bytes for a field of limit bytes.
[[noreturn]] void raise_truncation(Status* status, std::size_t limit, std::size_t length);
// out of memory
[[noreturn]] void raise_no_memory(Status* status);

template <unsigned N>
void set_text(Status* status, ::Firebird::FbVarChar<N>& field, ISC_SHORT& null, std::string_view text) {
    if (text.size() > N) raise_truncation(status, N, text.size());
    field.length = static_cast<ISC_USHORT>(text.size());
    if (!text.empty()) std::memcpy(field.str, text.data(), text.size());
    null = FB_FALSE;
}

// The result field, holding length bytes for the caller to write; raises when it is longer
// than the field.
template <unsigned N>
char* reserve_text(Status* status, ::Firebird::FbVarChar<N>& field, ISC_SHORT& null, std::size_t length) {
    if (length > N) raise_truncation(status, N, length);
    field.length = static_cast<ISC_USHORT>(length);
    null = FB_FALSE;
    return field.str;
}

inline void set_null(ISC_SHORT& null) noexcept { null = FB_TRUE; }

// ISC_LONG is long on Windows and int elsewhere: the value is converted to the field's type.
template <class T, class V>
void set_value(T& field, ISC_SHORT& null, V value) noexcept {
    field = static_cast<T>(value);
    null = FB_FALSE;
}

} // namespace ardudf::udr

// Field declarations by catalogue entry: FB_ARG_TEXT("ib_lpad", 0) is the message field of
// its first text argument, FB_RESULT_TEXT("ib_lpad") that of its result.
#define ARDUDF_ARG_TEXT(name, i) \
    FB_INTL_VARCHAR(::ardudf::udr::arg_width(name, i), ::ardudf::udr::charset_of(name))
#define ARDUDF_RESULT_TEXT(name) \
    FB_INTL_VARCHAR(::ardudf::udr::result_width(name), ::ardudf::udr::charset_of(name))
