/* The floor of the legacy path: external functions that do nothing but what every call of
 * its kind must do. They ignore their arguments, so one entry serves any declaration that
 * returns the same kind; bench/sql/calls.sh declares one per ardudf function, with that
 * function's own argument list.
 *
 *   noop_int     RETURNS INTEGER BY VALUE            0
 *   noop_double  RETURNS DOUBLE PRECISION BY VALUE   0.0
 *   noop_text    RETURNS CSTRING(n) FREE_IT          "x", allocated as ardudf allocates
 *
 * The allocator is found as ardudf finds it: libib_util.so (ib_util.dll) loaded on first
 * use, then the host's own export. */
#include <string.h>

typedef void* (*allocator_fn)(long);
static allocator_fn allocator;

#ifdef _WIN32
#include <windows.h>
#define EXPORT __declspec(dllexport)

static void find_allocator(void) {
    HMODULE lib = LoadLibraryA("ib_util.dll");
    FARPROC symbol = GetProcAddress(lib != NULL ? lib : GetModuleHandleA(NULL), "ib_util_malloc");
    memcpy(&allocator, &symbol, sizeof allocator);
}
#else
#include <dlfcn.h>
#define EXPORT __attribute__((visibility("default")))

static void find_allocator(void) {
    void* lib = dlopen("libib_util.so", RTLD_NOW | RTLD_LOCAL);
    void* symbol = dlsym(lib != NULL ? lib : RTLD_DEFAULT, "ib_util_malloc");
    memcpy(&allocator, &symbol, sizeof allocator); /* POSIX: a symbol is an address */
}
#endif

EXPORT int noop_int(void) { return 0; }

EXPORT double noop_double(void) { return 0.0; }

EXPORT char* noop_text(void) {
    if (allocator == NULL) {
        find_allocator();
        if (allocator == NULL) return NULL;
    }
    char* r = (char*)allocator(2);
    if (r != NULL) memcpy(r, "x", 2);
    return r;
}
