// The header and the catalogue describe the same 41 functions.
#include "ardudf/ardudf.h"
#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using ardudf::catalogue::Kind;

template <class T> constexpr Kind kind_of() {
    if constexpr (std::is_same_v<T, char*>) return Kind::text;
    else if constexpr (std::is_same_v<T, const char*>) return Kind::text;
    else if constexpr (std::is_same_v<T, std::int32_t> || std::is_same_v<T, const std::int32_t*>) return Kind::int32;
    else if constexpr (std::is_same_v<T, double> || std::is_same_v<T, const double*>) return Kind::float64;
    else return Kind::none;
}

struct Declared {
    std::string name;
    Kind result;
    std::vector<Kind> args;
};

template <class F> struct Signature;
template <class R, class... A> struct Signature<R(A...) noexcept> {
    static Declared of(const char* name) { return {name, kind_of<R>(), {kind_of<A>()...}}; }
};

// decltype only: the test reads the header's declarations without needing the definitions.
#define DECLARED(f) Signature<decltype(f)>::of(#f)

TEST(Catalogue, HeaderAndCatalogueAgree) {
    const Declared header[] = {
        DECLARED(ib_string_length), DECLARED(ib_string_left), DECLARED(ib_string_right), DECLARED(ib_lpad),
        DECLARED(ib_reversestring), DECLARED(ib_quote_literal), DECLARED(ib_uniqueid), DECLARED(ib_isnotnull),
        DECLARED(ib_convchartoint), DECLARED(ib_greatest), DECLARED(ib_least), DECLARED(ib_find_token),
        DECLARED(ib_get_token), DECLARED(ib_delete_token), DECLARED(ib_gets_u2_prefix),
        DECLARED(ib_gets_u_prefix), DECLARED(ib_correct_phone_number), DECLARED(ib_remove_diacritics),
        DECLARED(ib_dayofweek), DECLARED(ib_decodedate_year), DECLARED(ib_decodedate_month),
        DECLARED(ib_decodedate_day), DECLARED(ib_decodetime_hour), DECLARED(ib_decodetime_min),
        DECLARED(ib_decodetime_sec), DECLARED(ib_encodedate), DECLARED(ib_isleapyear), DECLARED(ib_endofdecade),
        DECLARED(ib_current_time), DECLARED(ib_datetostring), DECLARED(ib_scbcreate), DECLARED(ib_scbaddrow),
        DECLARED(ib_scbstartcreditnote), DECLARED(ib_scbisaffectedrows), DECLARED(ib_scbreadtype),
        DECLARED(ib_scbreadamount), DECLARED(ib_scbreadvat), DECLARED(ib_scbclear), DECLARED(ib_scbfree),
        DECLARED(ib_scbaddpayment), DECLARED(ib_scbaddcreditnote),
    };
    ASSERT_EQ(std::size(header), ardudf::catalogue::exports.size());
    for (const auto& d : header) {
        SCOPED_TRACE(d.name);
        const auto* e = ardudf::catalogue::find(d.name);
        ASSERT_NE(e, nullptr) << "declared in the header, missing from the catalogue";
        EXPECT_EQ(e->result, d.result);
        ASSERT_EQ(ardudf::catalogue::arg_count(*e), static_cast<int>(d.args.size()));
        for (std::size_t i = 0; i < d.args.size(); ++i) EXPECT_EQ(e->args[i], d.args[i]) << "argument " << i;
    }
}

TEST(Catalogue, NamesAreDistinctAndWellFormed) {
    std::set<std::string_view> names;
    for (const auto& e : ardudf::catalogue::exports) {
        EXPECT_TRUE(names.insert(e.name).second) << e.name;
        EXPECT_EQ(e.name.substr(0, 3), "ib_") << e.name;
        for (char c : e.name) EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') << e.name;
        // A text result must fit the server's CSTRING limit.
        if (e.result == Kind::text) {
            EXPECT_TRUE(e.result_width > 0 && e.result_width <= 32767) << e.name;
        }
    }
}

} // namespace
