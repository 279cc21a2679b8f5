// The host program exports the allocator itself.
#include <cstdlib>

extern "C" __declspec(dllexport) void* ib_util_malloc(long size) {
    return std::malloc(static_cast<std::size_t>(size));
}
