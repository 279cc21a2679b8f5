// The test ib_util.dll (built twice: with the allocator, and without it under
// WITHOUT_ALLOCATOR): allocates from the C runtime that the test program frees with, and
// reports its process attach and detach and each allocation to the test program, whose
// counters outlive this DLL between loads.
#include <windows.h>

#include <cstdlib>

namespace {

template <class F> F* host(const char* name) {
    return reinterpret_cast<F*>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), name)));
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH || reason == DLL_PROCESS_DETACH) {
        if (auto* attached = host<void(int)>("harness_support_attached"))
            attached(reason == DLL_PROCESS_ATTACH);
    }
    return TRUE;
}

#ifndef WITHOUT_ALLOCATOR
__declspec(dllexport) void* ib_util_malloc(long size) {
    // The host decides whether this call fails.
    auto* allocating = host<int(long)>("harness_support_allocating");
    if (allocating != nullptr && allocating(size))
        return nullptr;
    return std::malloc(static_cast<std::size_t>(size));
}
#else
__declspec(dllexport) int empty_ib_util_marker() { return 1; }
#endif
}
