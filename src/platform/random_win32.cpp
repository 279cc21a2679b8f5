#ifdef _WIN32
#define _CRT_RAND_S // declares rand_s in stdlib.h
#include <stdlib.h>

#include "platform/random.h"

#include <cstring>

namespace ardudf::platform {

bool fill_random(void* out, std::size_t size) noexcept {
    auto* bytes = static_cast<unsigned char*>(out);
    while (size > 0) {
        unsigned int word = 0;
        if (rand_s(&word) != 0) return false;
        const std::size_t n = size < sizeof word ? size : sizeof word;
        std::memcpy(bytes, &word, n);
        bytes += n;
        size -= n;
    }
    return true;
}

} // namespace ardudf::platform
#endif
