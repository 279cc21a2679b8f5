// The benchmarks run the exports in process: this program plays the server and exports
// the allocator, which the module finds in the host when no libib_util.so is loaded.
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) void* ib_util_malloc(long size) {
    return std::malloc(static_cast<std::size_t>(size));
}
