// A host program that exports the server's allocator itself, as a server may: the module
// finds ib_util_malloc in the program when no support library is loaded. The export tests
// run once in such a host, and the benchmarks play the server with it.
#include <cstdlib>

#ifdef _WIN32
#define ARDUDF_HOST_EXPORT __declspec(dllexport)
#else
#define ARDUDF_HOST_EXPORT __attribute__((visibility("default")))
#endif

extern "C" ARDUDF_HOST_EXPORT void* ib_util_malloc(long size) { return std::malloc(static_cast<std::size_t>(size)); }
