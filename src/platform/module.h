// Loading the server's support library and finding its allocator: what differs per OS.
#pragma once

namespace ardudf::platform {

using Module = void*;
using Allocator = void* (*)(long);

// The support library by its plain name: "ib_util.dll" on Windows, "libib_util.so"
// elsewhere. Null when it cannot be loaded.
Module load_support_library() noexcept;

// "ib_util_malloc" in the module; with a null module, in the host process itself, so a
// server that exports the allocator serves when the support library is missing.
Allocator find_allocator(Module module) noexcept;

void release_module(Module module) noexcept;

// The file name the failure message starts with.
const char* module_file_name() noexcept;

} // namespace ardudf::platform
