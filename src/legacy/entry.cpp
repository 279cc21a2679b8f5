// The library's entry and exit: on Windows DllMain, elsewhere a destructor that runs when
// the server unloads the module (or the process ends).
#include "legacy/result.h"

#ifdef _WIN32
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) ardudf::legacy::detach();
    return TRUE;
}
#else
namespace {
[[gnu::destructor]] void on_unload() { ardudf::legacy::detach(); }
} // namespace
#endif
