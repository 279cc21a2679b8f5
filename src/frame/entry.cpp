// The library's entry and exit: on Windows DllMain, elsewhere a destructor that runs when
// the server unloads the module (or the process ends).
#include "frame/result.h"

#ifdef _WIN32
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) ardudf::frame::detach();
    return TRUE;
}
#else
namespace {
[[gnu::destructor]] void on_unload() { ardudf::frame::detach(); }
} // namespace
#endif
