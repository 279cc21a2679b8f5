// The one export of ardudf_udr: the entry point through which the UDR engine registers
// every routine of the module.
#include "udr/routine.h"

FB_UDR_IMPLEMENT_ENTRY_POINT

namespace ardudf::udr {

// The server's own wording for a result too long for its declaration.
void raise_truncation(Status* status, std::size_t limit, std::size_t length) {
    const ISC_STATUS vector[] = {isc_arg_gds,    isc_arith_except,
                                 isc_arg_gds,    isc_string_truncation,
                                 isc_arg_gds,    isc_trunc_limits,
                                 isc_arg_number, static_cast<ISC_STATUS>(limit),
                                 isc_arg_number, static_cast<ISC_STATUS>(length),
                                 isc_arg_end};
    throw ::Firebird::FbException(status, vector);
}

void raise_no_memory(Status* status) {
    static const ISC_STATUS vector[] = {isc_arg_gds, isc_virmemexh, isc_arg_end};
    throw ::Firebird::FbException(status, vector);
}

} // namespace ardudf::udr
