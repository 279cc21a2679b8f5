// Text results: every one is allocated through the server's ib_util_malloc, so that the
// server can free it (FREE_IT). The support library is loaded on the first text result.
#pragma once

#include "catalogue/catalogue.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ardudf::legacy {

// size bytes from ib_util_malloc, uninitialised; null when no allocator can be found or
// the allocator itself gives none. The first call that finds no allocator writes one line
// to stderr. A size of 0 (the core's mark of a size too big, text/strings.h) or one beyond
// the allocator's int32 is never asked for: null.
char* allocate_result(std::size_t size) noexcept;

// No declaration can accept a text result longer than the longest CSTRING. A length asked
// for by an argument is cut one byte past it: the server refuses that result with the same
// "string right truncation" as the whole, which would cost up to 2 GB and half a minute.
inline constexpr std::size_t past_longest_result = catalogue::long_text.legacy + 1;

// Room for a text of length bytes and its terminator; null when that is more than the
// allocator's int32 takes.
char* allocate_text(std::size_t length) noexcept;

// A copy of text with its terminator, allocated as allocate_text allocates.
char* copy_result(std::string_view text) noexcept;

// Process detach: drop the cached allocator and release the support library.
void detach() noexcept;

} // namespace ardudf::legacy
