// Bytes from the operating system's random source: getrandom (or /dev/urandom where the
// kernel lacks it) elsewhere, rand_s on Windows, the C runtime's call of RtlGenRandom,
// which keeps the DLL's imports to KERNEL32 and msvcrt.
#pragma once

#include <cstddef>

namespace ardudf::platform {

// False when the source fails; what was written into out is then not to be used.
bool fill_random(void* out, std::size_t size) noexcept;

} // namespace ardudf::platform
