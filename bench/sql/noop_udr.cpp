// The floor of the UDR path: one routine that ignores its input and writes a NOT NULL
// zero (INTEGER, DOUBLE PRECISION) or the one-byte text 'x' (VARCHAR) into whatever result
// its declaration has. No message is declared, so the engine hands over the messages in
// the declared formats and converts nothing; bench/sql/calls.sh declares one such function
// per ardudf function, with that function's own parameters.
#define FB_UDR_STATUS_TYPE ::Firebird::ThrowStatusWrapper
#include <firebird/UdrCppEngine.h>

#include <cstring>

using namespace Firebird;

FB_UDR_BEGIN_FUNCTION(noop)
FB_UDR_CONSTRUCTOR {
    IMessageMetadata* out = metadata->getOutputMetadata(status);
    type = out->getType(status, 0);
    offset = out->getOffset(status, 0);
    null_offset = out->getNullOffset(status, 0);
    out->release();
}

FB_UDR_EXECUTE_FUNCTION {
    *reinterpret_cast<ISC_SHORT*>(out + null_offset) = FB_FALSE;
    unsigned char* value = out + offset;
    switch (type) {
    case SQL_LONG:
        *reinterpret_cast<ISC_LONG*>(value) = 0;
        break;
    case SQL_DOUBLE:
        *reinterpret_cast<double*>(value) = 0.0;
        break;
    case SQL_VARYING:
        *reinterpret_cast<ISC_USHORT*>(value) = 1;
        value[sizeof(ISC_USHORT)] = 'x';
        break;
    default:
        *reinterpret_cast<ISC_SHORT*>(out + null_offset) = FB_TRUE;
        break;
    }
}

unsigned type = 0, offset = 0, null_offset = 0;
FB_UDR_END_FUNCTION

FB_UDR_IMPLEMENT_ENTRY_POINT
