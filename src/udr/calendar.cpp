// The calendar functions of the UDR module, over the routines of core/calendar. Day serials
// are DOUBLE PRECISION as in the legacy declarations.
#include "udr/routine.h"

#include "core/calendar/format.h"
#include "core/calendar/serial.h"

#include <new>
#include <string>

namespace calendar = ardudf::calendar;

ARDUDF_UDR_FUNCTION(ib_dayofweek) { call.result.int32(calendar::day_of_week(call.args.float64("serial"))); }
ARDUDF_UDR_FUNCTION(ib_decodedate_year) { call.result.int32(calendar::decode_date(call.args.float64("serial")).year); }
ARDUDF_UDR_FUNCTION(ib_decodedate_month) {
    call.result.int32(calendar::decode_date(call.args.float64("serial")).month);
}
ARDUDF_UDR_FUNCTION(ib_decodedate_day) { call.result.int32(calendar::decode_date(call.args.float64("serial")).day); }
ARDUDF_UDR_FUNCTION(ib_decodetime_hour) { call.result.int32(calendar::decode_time(call.args.float64("serial")).hour); }
ARDUDF_UDR_FUNCTION(ib_decodetime_min) { call.result.int32(calendar::decode_time(call.args.float64("serial")).minute); }
ARDUDF_UDR_FUNCTION(ib_decodetime_sec) { call.result.int32(calendar::decode_time(call.args.float64("serial")).second); }

ARDUDF_UDR_FUNCTION(ib_encodedate) {
    call.result.float64(
        calendar::encode_date(call.args.int32("year_num"), call.args.int32("month_num"), call.args.int32("day_num")));
}

ARDUDF_UDR_FUNCTION(ib_isleapyear) { call.result.int32(calendar::is_leap_year(call.args.int32("year_num"))); }

ARDUDF_UDR_FUNCTION(ib_endofdecade) { call.result.float64(calendar::end_of_decade(call.args.float64("serial"))); }

// The local wall clock, to the millisecond.
ARDUDF_UDR_FUNCTION(ib_current_time) { call.result.float64(calendar::current_serial()); }

ARDUDF_UDR_FUNCTION(ib_datetostring) {
    std::string text;
    try {
        text = calendar::format_date(call.args.float64("serial"), call.args.text("pattern"));
    } catch (const std::bad_alloc&) {
        call.result.raise_no_memory();
    }
    call.result.text(text);
}
