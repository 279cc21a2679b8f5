// Calls any export of the catalogue by its index, with argument pointers chosen at run
// time, and renders what came back (and, for a balance context, what it holds then) as
// text that two calls can be compared by.
#pragma once

#include "harness.h"
#include "legacy/signature.h"

#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace exports_by_index {

// The export of entry e in the module, or null while the module does not have it yet.
inline void* find(const harness::Module& m, std::size_t e) {
    return m.find(std::string(ardudf::catalogue::exports[e].name).c_str());
}

inline std::string render(std::int32_t v) { return "int " + std::to_string(v); }
inline std::string render(double v) {
    char s[64];
    std::snprintf(s, sizeof s, "double %a", v);
    return s;
}
inline std::string render(char* v) {
    if (v == nullptr) return "null";
    std::string s = "text '" + std::string(v) + "'";
    std::free(v);
    return s;
}

using Caller = std::string (*)(void* function, const void* const* args);

template <std::size_t... E> constexpr auto make_callers(std::index_sequence<E...>) {
    return std::array<Caller, sizeof...(E)>{
        [](void* f, const void* const* a) { return render(signature::call<E>(f, a)); }...};
}
inline constexpr auto callers = make_callers(std::make_index_sequence<ardudf::catalogue::exports.size()>());

// Calls entry e; its result rendered (a text result is freed).
inline std::string call(std::size_t e, void* function, const void* const* args) { return callers[e](function, args); }

} // namespace exports_by_index
