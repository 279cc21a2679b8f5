// Every allocation the library makes on its own heap (a context, a row and its type, the
// row array growing, the type index, the formatter's working text) failing in turn. The
// failure rules: a text export returns null and writes nothing; ib_scbcreate returns 0;
// ib_scbaddrow still moves the totals when the row cannot be added; a cleared context
// that cannot have its slots takes no rows but stays usable; nothing leaks (LSan, under
// the asan preset).
#include "allocation_faults.h"
#include "plain_arguments.h"
#include "legacy/signature.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using ardudf::catalogue::exports;
using ardudf::catalogue::Kind;

void* find(std::string_view name) { return dlsym(RTLD_DEFAULT, std::string(name).c_str()); }
// The export of catalogue entry E, through its catalogue type.
template <std::size_t E> signature::pointer<E> fn() {
    static_assert(E < exports.size(), "not an export of the catalogue");
    return reinterpret_cast<signature::pointer<E>>(find(exports[E].name));
}

std::int32_t create() { return fn<signature::index_of("ib_scbcreate")>()(); }
std::int32_t add(std::int32_t h, const char* type, double a, double v) {
    return fn<signature::index_of("ib_scbaddrow")>()(&h, type, &a, &v);
}
std::int32_t release(std::int32_t h) { return fn<signature::index_of("ib_scbfree")>()(&h); }

std::string render(std::int32_t v) { return std::to_string(v); }
std::string render(double v) {
    char s[64];
    std::snprintf(s, sizeof s, "%a", v);
    return s;
}
std::string render(char* v) {
    if (v == nullptr) return "null";
    std::string s = std::string("'").append(v).append("'");
    std::free(v);
    return s;
}

// A run of entry e with plain arguments (a balance export on a fresh context with two
// rows), its own allocations failing from the k-th on (0: none).
struct Outcome {
    std::string result;
    long allocations;
    long failures;
};

// Only the export's call is armed; the rendering after it allocates freely.
template <std::size_t... E> constexpr auto make_callers(std::index_sequence<E...>) {
    using Caller = Outcome (*)(void*, const void* const*, long);
    return std::array<Caller, sizeof...(E)>{[](void* f, const void* const* a, long k) {
        signature::result<E> r;
        long n, failed;
        {
            faults::Armed armed(k);
            r = signature::call<E>(f, a);
            n = faults::allocations();
            failed = faults::failures();
        }
        return Outcome{render(r), n, failed};
    }...};
}
constexpr auto callers = make_callers(std::make_index_sequence<exports.size()>());

Outcome run(std::size_t e, long k) {
    const auto& x = exports[e];
    std::int32_t h = 0;
    if (x.group == "balance") {
        h = create();
        add(h, "GOODS", 100.0, 21.0);
        add(h, "SERVICE", 50.0, 0.0);
    }
    const PlainArguments plain(x, h, {"Today: DD.MM.YYYY", "x", "A"});
    const Outcome r = callers[e](find(x.name), plain.args, k);
    if (x.name == "ib_scbcreate" && r.result != "0") {
        EXPECT_EQ(release(std::stoi(r.result)), 1);
    }
    if (h != 0) release(h);
    return r;
}

class OwnAllocation : public ::testing::TestWithParam<std::size_t> {};

// Whatever fails, no export crashes, throws or leaks; a text result is null or what it is
// without failures; a number is what it is without failures, but for the handle of a new
// context (0 when the context could not be made).
TEST_P(OwnAllocation, EveryAllocationOfARunFailingInTurn) {
    const std::size_t e = GetParam();
    const auto& x = exports[e];
    ASSERT_NE(find(x.name), nullptr) << "the library does not export it";
    const Outcome plain = run(e, 0);
    RecordProperty("allocations", static_cast<int>(plain.allocations));
    // Results that move between calls: the generator, the clock, a new handle.
    const bool moves = x.name == "ib_uniqueid" || x.name == "ib_current_time" || x.name == "ib_scbcreate";
    for (long k = 1; k <= plain.allocations + 1; ++k) {
        SCOPED_TRACE("allocations fail from the " + std::to_string(k) + "th of " + std::to_string(plain.allocations));
        const Outcome r = run(e, k);
        if (x.result.kind == Kind::text) {
            EXPECT_TRUE(r.result == "null" || r.result.size() == plain.result.size()) << r.result;
        }
        if (!moves && (r.failures == 0 || x.result.kind != Kind::text || r.result != "null")) {
            EXPECT_EQ(r.result, plain.result);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryExport, OwnAllocation, ::testing::Range<std::size_t>(0, exports.size()),
                         [](const auto& info) { return std::string(exports[info.param].name); });

} // namespace
