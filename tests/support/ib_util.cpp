// The stand-in for the server's support library, libib_util.so (ib_util.dll), built twice:
// with the allocator, and without it under WITHOUT_ALLOCATOR. Its ib_util_malloc is the
// test program's (ib_util_host.cpp), which counts and fails calls on demand; a program
// without one gets plain malloc.
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#define STAND_IN_EXPORT __declspec(dllexport)
template <class F> F* host(const char* name) {
    return reinterpret_cast<F*>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), name)));
}
#else
#include <dlfcn.h>
#define STAND_IN_EXPORT __attribute__((visibility("default")))
template <class F> F* host(const char* name) { return reinterpret_cast<F*>(dlsym(RTLD_DEFAULT, name)); }
#endif

#ifdef _WIN32
// LoadLibraryA cannot be interposed simply: the DLL reports its own process attach and
// detach, into counters that outlive it between loads.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH || reason == DLL_PROCESS_DETACH) {
        if (auto* attached = host<void(int)>("ardudf_test_ib_util_attached")) attached(reason == DLL_PROCESS_ATTACH);
    }
    return TRUE;
}
#endif

#ifndef WITHOUT_ALLOCATOR
extern "C" STAND_IN_EXPORT void* ib_util_malloc(long size) {
    static auto* const allocate = host<void*(long)>("ardudf_test_ib_util_malloc");
    if (allocate != nullptr) return allocate(size);
    return std::malloc(static_cast<std::size_t>(size));
}
#else
extern "C" STAND_IN_EXPORT int empty_ib_util_marker() { return 1; }
#endif
