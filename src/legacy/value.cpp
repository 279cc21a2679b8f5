// The value exports: read the arguments (a null pointer reads as the empty text or 0), call
// the routine, hand a text through the server's allocator; a text that cannot be allocated
// is the null pointer (SQL NULL) and nothing is written.
#include "ardudf/ardudf.h"
#include "core/value/value.h"
#include "legacy/arguments.h"
#include "legacy/result.h"

#include <algorithm>

using namespace ardudf::value;
using ardudf::legacy::allocate_text;
using ardudf::legacy::copy_result;
using ardudf::legacy::past_longest_result;
using ardudf::legacy::read_double;
using ardudf::legacy::read_int;
using ardudf::legacy::read_text;

// The number of bytes before the terminator; 0 for the empty text.
extern "C" std::int32_t ib_string_length(const char* text) noexcept { return length(read_text(text)); }

// len characters of 0-9 and A-Z from the calling thread's generator; 0 or a negative len
// gives the empty text. A refused allocation draws nothing.
extern "C" char* ib_uniqueid(const std::int32_t* len) noexcept {
    const std::int32_t n = read_int(len);
    const std::size_t length = n > 0 ? std::min(static_cast<std::size_t>(n), past_longest_result) : 0;
    char* result = allocate_text(length);
    if (result == nullptr) return nullptr;
    unique_id(thread_generator(), length, result);
    result[length] = '\0';
    return result;
}

// "A" for a text with at least one byte (a blank counts), "N" for the empty text.
extern "C" char* ib_isnotnull(const char* text) noexcept {
    char* result = allocate_text(1);
    if (result == nullptr) return nullptr;
    result[0] = presence_flag(read_text(text))[0];
    result[1] = '\0';
    return result;
}

// The decimal number after leading white space and one sign; no digit gives 0, a number
// out of range the nearest int32 limit.
extern "C" std::int32_t ib_convchartoint(const char* text) noexcept { return to_int32(read_text(text)); }

// a when a > b, else b: equal values (+0 and -0 too) and any NaN give b.
extern "C" double ib_greatest(const double* a, const double* b) noexcept {
    return greatest(read_double(a), read_double(b));
}

// a when a < b, else b: equal values and any NaN give b.
extern "C" double ib_least(const double* a, const double* b) noexcept { return least(read_double(a), read_double(b)); }

// "ardudf 1.2.0 legacy": the release of this module file, for a DBA who must know which
// file answers a database. Takes no argument.
extern "C" char* ardudf_version(void) noexcept { return copy_result(release_and_face(Face::legacy)); }
