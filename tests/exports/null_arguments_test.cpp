// Every argument pointer of every export may be null (a declaration with the NULL keyword
// hands one over): the export must read it as the empty text or as 0. For each export of
// the catalogue and each argument position, the call with a null pointer there must give
// what the call with "" or 0 there gives, and leave a balance context as that call does.
#include "exports_by_index.h"
#include "harness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ardudf::catalogue::exports;
using ardudf::catalogue::Kind;

struct Balance {
    const harness::Module& m;
    template <harness::Export X> harness::function_of<X> fn() const { return m.find<X>(); }

    std::int32_t make() const {
        const std::int32_t h = fn<"ib_scbcreate">()();
        auto* add = fn<"ib_scbaddrow">();
        const double a1 = 100.0, v1 = 21.0, a2 = 50.0, v2 = 0.0;
        add(&h, "GOODS", &a1, &v1);
        add(&h, "SERVICE", &a2, &v2);
        return h;
    }

    // Everything the exports let one see of a context: the current row, a walk, and, when
    // the module has payments, what a payment then spreads.
    std::string observe(std::int32_t h) const {
        auto* type = fn<"ib_scbreadtype">();
        auto* amount = fn<"ib_scbreadamount">();
        auto* vat = fn<"ib_scbreadvat">();
        auto* affected = fn<"ib_scbisaffectedrows">();
        auto* pay = fn<"ib_scbaddpayment">();
        auto read = [&] {
            return exports_by_index::render(type(&h)) + " " + exports_by_index::render(amount(&h)) + " " +
                   exports_by_index::render(vat(&h)) + "; ";
        };
        std::string seen = read();
        for (int i = 0; i < 8 && affected(&h) == 1; ++i) seen += read();
        if (pay != nullptr) {
            const double a = 1000.0;
            seen += "pay " + std::to_string(pay(&h, &a)) + ": ";
            for (int i = 0; i < 8 && affected(&h) == 1; ++i) seen += read();
        }
        return seen;
    }
    void release(std::int32_t h) const { fn<"ib_scbfree">()(&h); }
};

// One call of entry e; position null_at (or -1) gets a null pointer, every other position
// a value: a live context's handle for a balance handle, "" / 0 / 0.0 at position
// explicit_at, and a plain value elsewhere.
std::string outcome(std::size_t e, int null_at, int explicit_at) {
    const auto& x = exports[e];
    const harness::Module& m = harness::shared();
    void* f = exports_by_index::find(m, e);
    const bool balance = x.group == "balance";
    Balance b{m};
    const std::int32_t h = balance ? b.make() : 0;

    static const char* const texts[] = {"abc,de", ",", "A"};
    const std::int32_t ints[] = {balance ? h : 3, 5, 7, 0};
    const double doubles[] = {45356.5675, 10.0, 2.0, 0.0};
    const std::int32_t zero = 0;
    const double zero_d = 0.0;
    const void* args[4] = {};
    for (int i = 0; i < ardudf::catalogue::arg_count(x); ++i) {
        if (i == null_at) continue;
        switch (x.args[i].kind) {
        case Kind::text:
            args[i] = i == explicit_at ? "" : texts[i % 3];
            break;
        case Kind::int32:
            args[i] = i == explicit_at ? &zero : &ints[i];
            break;
        case Kind::float64:
            args[i] = i == explicit_at ? &zero_d : &doubles[i];
            break;
        default:
            break;
        }
    }
    std::string seen = exports_by_index::call(e, f, args);
    if (balance) {
        seen += " | " + b.observe(h);
        b.release(h);
    }
    return seen;
}

class NullArguments : public ::testing::TestWithParam<std::size_t> {};

TEST_P(NullArguments, ReadAsEmptyTextOrZero) {
    const std::size_t e = GetParam();
    ASSERT_NE(exports_by_index::find(harness::shared(), e), nullptr) << "the module does not export it";
    harness::use_support(harness::Support::counting);
    harness::reset_counters();
    for (int i = 0; i < ardudf::catalogue::arg_count(exports[e]); ++i) {
        SCOPED_TRACE("argument " + std::to_string(i + 1));
        EXPECT_EQ(outcome(e, i, -1), outcome(e, -1, i));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryExport, NullArguments, ::testing::Range<std::size_t>(0, exports.size()),
                         [](const auto& info) { return std::string(exports[info.param].name); });

} // namespace
