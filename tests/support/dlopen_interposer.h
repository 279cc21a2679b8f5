// The one stand-in for dlopen and dlclose in the test programs (POSIX): the module's
// request for the support library by its plain name goes to the stand-in library chosen
// here (ib_util.cpp), and its loads and releases are counted (ib_util_host.h). A program
// that links this must export its symbols (ENABLE_EXPORTS), so that the module, or the
// library linked into the program, binds to these.
#pragma once

#include "ib_util_host.h"

namespace interposer {

// Where the request for libib_util.so goes from now on (the stand-in with its allocator
// until told otherwise).
void route_support(ib_util_host::Support support);

// The C library's own, for loading anything else.
void* real_dlopen(const char* file, int mode);
int real_dlclose(void* handle);

} // namespace interposer
