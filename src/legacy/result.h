// Text results: every one is allocated through the server's ib_util_malloc, so that the
// server can free it (FREE_IT). The support library is loaded on the first text result.
#pragma once

#include <cstdint>
#include <string_view>

namespace ardudf::legacy {

// size bytes from ib_util_malloc, uninitialised; null when no allocator can be found or
// the allocator itself gives none. The first call that finds no allocator writes one line
// to stderr.
char* allocate_result(std::int32_t size) noexcept;

// A copy of text with its terminator, allocated through allocate_result.
char* copy_result(std::string_view text) noexcept;

// Process detach: drop the cached allocator and release the support library.
void detach() noexcept;

} // namespace ardudf::legacy
