// The C function type of each catalogue entry, as the header declares it: the legacy module
// checks the header against it when it is compiled, and tests that find an export by name
// call it through its own type.
#pragma once

#include "catalogue/catalogue.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace signature {

using ardudf::catalogue::Kind;

template <Kind K> struct arg_of;
template <> struct arg_of<Kind::text> { using type = const char*; };
template <> struct arg_of<Kind::int32> { using type = const std::int32_t*; };
template <> struct arg_of<Kind::float64> { using type = const double*; };

template <Kind K> struct result_of;
template <> struct result_of<Kind::text> { using type = char*; };
template <> struct result_of<Kind::int32> { using type = std::int32_t; };
template <> struct result_of<Kind::float64> { using type = double; };

template <std::size_t E, std::size_t... I>
auto pointer_of(std::index_sequence<I...>) -> typename result_of<ardudf::catalogue::exports[E].result.kind>::type (*)(
    typename arg_of<ardudf::catalogue::exports[E].args[I].kind>::type...) noexcept;

// Pointer to the function of catalogue entry E.
template <std::size_t E>
using pointer =
    decltype(pointer_of<E>(std::make_index_sequence<ardudf::catalogue::arg_count(ardudf::catalogue::exports[E])>()));

template <std::size_t E> using result = typename result_of<ardudf::catalogue::exports[E].result.kind>::type;

// Calls entry E with args[i] as its i-th argument pointer.
template <std::size_t E, std::size_t... I>
result<E> call_impl(void* function, const void* const* args, std::index_sequence<I...>) {
    return reinterpret_cast<pointer<E>>(function)(
        static_cast<typename arg_of<ardudf::catalogue::exports[E].args[I].kind>::type>(args[I])...);
}
template <std::size_t E> result<E> call(void* function, const void* const* args) {
    return call_impl<E>(function, args,
                        std::make_index_sequence<ardudf::catalogue::arg_count(ardudf::catalogue::exports[E])>());
}

// The catalogue's own: a name it lacks does not compile where a constant is needed.
using ardudf::catalogue::index_of;

} // namespace signature
