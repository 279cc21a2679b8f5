// The benchmarks' declarations, apart from the product's outputs:
//   ardudf_catalogue declare legacy|legacy_floor|udr|udr_floor|udr_moved PREFIX [WIDTH]
#include "generate.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

namespace ardudf::catalogue::gen {

// The declarations the benchmarks make beside the shipped ones (bench/sql/calls.sh,
// bench/load/run.sh), each function as PREFIX and its name, without comments:
//   legacy, udr, udr_moved    the module's own routines (udr_moved: as after the move in place)
//   legacy_floor, udr_floor   the same declarations over the do-nothing modules of bench/
// narrow > 0: the long texts (those the catalogue declares as wide as it can) that wide.
int print_bench_declarations(std::string_view what, std::string_view prefix, int narrow) {
    const bool legacy = what == "legacy" || what == "legacy_floor";
    const bool floor = what == "legacy_floor" || what == "udr_floor", moved = what == "udr_moved";
    if (!legacy && !floor && !moved && what != "udr") return 2;
    auto width = [&](const Value& v) {
        const int declared = legacy ? v.width.legacy : moved ? std::min(v.width.legacy, max_varchar) : v.width.udr;
        const bool wide = legacy ? v.width.legacy == long_text.legacy || v.width.legacy == quotable.legacy
                                 : v.width.udr == long_text.udr || v.width.udr == quotable.udr;
        return narrow > 0 && wide ? narrow : declared;
    };
    auto name_of = [&](std::string_view name) { return std::string(prefix) + std::string(name); };
    for (const auto& e : exports) {
        const int n = arg_count(e);
        if (legacy) {
            std::printf("DECLARE EXTERNAL FUNCTION %s\n", name_of(e.name).c_str());
            for (int i = 0; i < n; ++i) {
                const Value& a = e.args[i];
                const std::string type = a.kind == Kind::text ? sql_text(width(a), e.charset) : sql_arg(e, i);
                std::printf("    %s%s\n", type.c_str(), i + 1 < n ? "," : "");
            }
            const std::string result =
                e.result.kind == Kind::text ? sql_text(width(e.result), e.charset) + " FREE_IT" : sql_result(e);
            const char* noop = e.result.kind == Kind::text    ? "noop_text"
                               : e.result.kind == Kind::int32 ? "noop_int"
                                                              : "noop_double";
            std::printf("    RETURNS %s\n", result.c_str());
            std::printf("    ENTRY_POINT '%s' MODULE_NAME '%s';\n", floor ? noop : std::string(e.name).c_str(),
                        floor ? "ardudf_noop" : "ardudf");
            continue;
        }
        std::string params;
        for (int i = 0; i < n; ++i) {
            Value a = e.args[i];
            a.width = {width(a), width(a)};
            params += (i ? ", " : "") + std::string(a.name) + " " + udr_type(a, e.charset);
        }
        Value r = e.result;
        r.width = {width(r), width(r)};
        const std::string entry = floor ? "ardudf_noop_udr!noop"
                                        : "ardudf_udr!" + std::string(e.name) +
                                              (moved ? "!" + std::string(legacy_nulls_option) : std::string());
        std::printf("CREATE FUNCTION %s (%s) RETURNS %s\n    EXTERNAL NAME '%s' ENGINE UDR;\n", name_of(e.name).c_str(),
                    params.c_str(), udr_type(r, e.charset).c_str(), entry.c_str());
    }
    if (!legacy && !floor)
        for (const auto& p : procedures) {
            std::string ddl = procedure_ddl(p, " ");
            ddl.replace(ddl.find(p.name), p.name.size(), name_of(p.name));
            std::printf("CREATE %s;\n", ddl.c_str());
        }
    std::printf("COMMIT;\n");
    return 0;
}

} // namespace ardudf::catalogue::gen
