// The server's allocator failing: every text export, run with the k-th allocation of the
// run failing (for every k of the run), returns null and nothing else; the number exports
// never ask the allocator at all. ib_scbreadtype falls back to the empty text when only the
// copy of the type is refused.
#include "exports_by_index.h"
#include "plain_arguments.h"
#include "harness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ardudf::catalogue::exports;
using ardudf::catalogue::Kind;

template <harness::Export X> harness::function_of<X> fn() { return harness::shared().find<X>(); }

// A context with one row, GOODS, under the cursor (or 0 without the balance exports).
std::int32_t context_with_a_row() {
    auto* create = fn<"ib_scbcreate">();
    auto* add = fn<"ib_scbaddrow">();
    const std::int32_t h = create();
    const double amount = 100.0, vat = 21.0;
    add(&h, "GOODS", &amount, &vat);
    return h;
}

// Calls entry e with plain arguments: a text, a count of 3, a day serial, a live handle.
std::string call_plain(std::size_t e, std::int32_t handle) {
    const auto& x = exports[e];
    const PlainArguments plain(x, handle, {"abc,de'f", ",", "A"});
    return exports_by_index::call(e, exports_by_index::find(harness::shared(), e), plain.args);
}

class ResultAllocation : public ::testing::TestWithParam<std::size_t> {
protected:
    void SetUp() override {
        ASSERT_NE(exports_by_index::find(harness::shared(), GetParam()), nullptr) << "the module does not export it";
        harness::use_support(harness::Support::counting);
        handle_ = context_with_a_row();
    }
    void TearDown() override {
        harness::reset_counters();
        if (handle_ != 0) fn<"ib_scbfree">()(&handle_);
    }
    std::int32_t handle_ = 0;
};

TEST_P(ResultAllocation, EveryFailingAllocationOfARunGivesNull) {
    const std::size_t e = GetParam();
    harness::reset_counters();
    const std::string plain = call_plain(e, handle_);
    const long n = harness::allocations();
    if (exports[e].result.kind != Kind::text) {
        EXPECT_EQ(n, 0) << "a number result asked the server's allocator";
        return;
    }
    ASSERT_NE(plain, "null");
    ASSERT_GE(n, 1);
    for (long k = 1; k <= n; ++k) {
        SCOPED_TRACE("allocation " + std::to_string(k) + " of " + std::to_string(n) + " fails, and all after it");
        harness::reset_counters(k);
        EXPECT_EQ(call_plain(e, handle_), "null");
    }
    // One more than the run needs: nothing fails.
    harness::reset_counters(n + 1);
    const std::string again = call_plain(e, handle_);
    if (exports[e].name == "ib_uniqueid")
        EXPECT_EQ(again.size(), plain.size()); // the generator moved on
    else
        EXPECT_EQ(again, plain);
}

INSTANTIATE_TEST_SUITE_P(EveryExport, ResultAllocation, ::testing::Range<std::size_t>(0, exports.size()),
                         [](const auto& info) { return std::string(exports[info.param].name); });

TEST(ResultAllocation, ReadTypeFallsBackToTheEmptyTextWhenTheCopyIsRefused) {
    harness::use_support(harness::Support::counting);
    const std::int32_t h = context_with_a_row();
    auto* type = fn<"ib_scbreadtype">();
    harness::fail_only(1);
    EXPECT_EQ(exports_by_index::render(type(&h)), "text ''");
    EXPECT_EQ(harness::allocations(), 2);
    harness::reset_counters();
    EXPECT_EQ(exports_by_index::render(type(&h)), "text 'GOODS'") << "the context is unchanged";
    fn<"ib_scbfree">()(&h);
}

} // namespace
