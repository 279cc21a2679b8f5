// The value functions of the UDR module, over the routines of core/value.
#include "udr/routine.h"

#include "core/value/value.h"

namespace value = ardudf::value;

ARDUDF_UDR_FUNCTION(ib_string_length) { call.result.int32(value::length(call.args.text("text"))); }

// From the calling thread's generator, as the legacy module; a length beyond the declared
// width raises string truncation before anything is drawn.
ARDUDF_UDR_FUNCTION(ib_uniqueid) {
    const std::size_t length = call.args.int32("len") > 0 ? static_cast<std::size_t>(call.args.int32("len")) : 0;
    value::unique_id(value::thread_generator(), length, call.result.reserve(length));
}

ARDUDF_UDR_FUNCTION(ib_isnotnull) { call.result.text(value::presence_flag(call.args.text("text"))); }

ARDUDF_UDR_FUNCTION(ib_convchartoint) { call.result.int32(value::to_int32(call.args.text("text"))); }

ARDUDF_UDR_FUNCTION(ib_greatest) {
    call.result.float64(value::greatest(call.args.float64("a"), call.args.float64("b")));
}

ARDUDF_UDR_FUNCTION(ib_least) { call.result.float64(value::least(call.args.float64("a"), call.args.float64("b"))); }

// "ardudf 1.2.0 UDR": the release of the module file the UDR engine loaded.
ARDUDF_UDR_FUNCTION(ardudf_version) { call.result.text(value::release_and_face(value::Face::udr)); }
