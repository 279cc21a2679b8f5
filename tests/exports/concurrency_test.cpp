// Many threads at once in a freshly loaded module: threads that settle documents on
// contexts of their own, beside threads that call every stateless export (so that the
// first text result, which loads the server's allocator, is asked for by several threads
// at the same moment). Every thread's results must be those of the same calls made alone.
// Run under the tsan preset this is also the data-race check.
#include "exports_by_index.h"
#include "harness.h"

#include <gtest/gtest.h>

#include <latch>
#include <string>
#include <thread>
#include <vector>

namespace {

using ardudf::catalogue::exports;
using ardudf::catalogue::Kind;

// One document settled from start to end; the transcript of everything read back.
std::string settle(const harness::Module& m, int variant) {
    auto create = m.fn<"ib_scbcreate">();
    auto add = m.fn<"ib_scbaddrow">();
    auto pay = m.fn<"ib_scbaddpayment">();
    auto note = m.fn<"ib_scbaddcreditnote">();
    auto affected = m.fn<"ib_scbisaffectedrows">();
    auto type = m.fn<"ib_scbreadtype">();
    auto amount = m.fn<"ib_scbreadamount">();
    auto vat = m.fn<"ib_scbreadvat">();
    auto clear = m.fn<"ib_scbclear">();
    auto release = m.fn<"ib_scbfree">();

    const std::int32_t h = create();
    std::string seen = h != 0 ? "" : "no context; ";
    auto walk = [&] {
        while (affected(&h) == 1)
            seen += exports_by_index::render(type(&h)) + " " + exports_by_index::render(amount(&h)) + " " +
                    exports_by_index::render(vat(&h)) + "; ";
        seen += "| ";
    };
    for (int round = 0; round < 2; ++round) {
        for (int row = 0; row < 12; ++row) {
            const std::string t = std::string("T").append(std::to_string((row * 7 + variant) % 10));
            const double a = (row % 4 == 3 ? -1.0 : 1.0) * (10.0 + row + variant * 0.01), v = row * 0.21;
            add(&h, t.c_str(), &a, &v);
        }
        for (double p : {50.0 + variant, -12.5, 0.0, 1000.0}) {
            seen += "pay " + std::to_string(pay(&h, &p)) + ": ";
            walk();
        }
        const double na = 7.0, nv = 1.5;
        seen += "note " + std::to_string(note(&h, "T3", &na, &nv)) + ": ";
        walk();
        seen += "clear " + std::to_string(clear(&h)) + "; ";
    }
    seen += "free " + std::to_string(release(&h));
    return seen;
}

// Every stateless export once, with plain arguments.
std::string stateless_round(const harness::Module& m) {
    static const char* const texts[] = {"Dnes je DD.MM.YYYY, 'x'", ",", "A"};
    const std::int32_t ints[] = {2024, 3, 5, 0};
    const double doubles[] = {45356.5675, 10.0, 2.0, 0.0};
    std::string seen;
    for (std::size_t e = 0; e < exports.size(); ++e) {
        const auto& x = exports[e];
        if (x.group == "balance" || x.name == "ib_current_time" || x.name == "ib_uniqueid") continue;
        const void* args[4] = {};
        for (int i = 0; i < ardudf::catalogue::arg_count(x); ++i)
            args[i] = x.args[i].kind == Kind::text    ? static_cast<const void*>(texts[i % 3])
                      : x.args[i].kind == Kind::int32 ? static_cast<const void*>(&ints[i])
                                                      : static_cast<const void*>(&doubles[i]);
        seen +=
            std::string(x.name) + " " + exports_by_index::call(e, m.symbol(std::string(x.name).c_str()), args) + "\n";
    }
    return seen;
}

TEST(Concurrency, SettlingThreadsBesideStatelessThreadsGiveTheResultsOfSingleCalls) {
    harness::use_support(harness::Support::counting);
    constexpr int settlers = 4, stateless = 4, rounds = 40;
    std::vector<std::string> alone(settlers);
    for (int t = 0; t < settlers; ++t) alone[t] = settle(harness::shared(), t);
    const std::string stateless_alone = stateless_round(harness::shared());

    harness::reset_counters();
    harness::Module fresh(true); // its first text result is still to come
    std::latch start(settlers + stateless);
    std::vector<int> wrong(settlers + stateless, 0);
    std::vector<std::string> first_ids(stateless);
    std::vector<std::thread> threads;
    for (int t = 0; t < settlers; ++t)
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            for (int r = 0; r < rounds; ++r) wrong[t] += settle(fresh, t) != alone[t];
        });
    for (int t = 0; t < stateless; ++t)
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            // Each thread's generator starts afresh.
            const std::int32_t four = 4;
            first_ids[t] = exports_by_index::render(fresh.fn<"ib_uniqueid">()(&four));
            for (int r = 0; r < rounds; ++r) wrong[settlers + t] += stateless_round(fresh) != stateless_alone;
        });
    for (auto& th : threads) th.join();
    for (int t = 0; t < settlers + stateless; ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t;
    for (const auto& id : first_ids) EXPECT_EQ(id, "text '5ZY4'");
#ifndef _WIN32
    // On Windows the shared module already holds ib_util.dll: a second load attaches nothing.
    EXPECT_EQ(harness::support_loads(), 1) << "concurrent first uses load the support library once";
#endif
}

} // namespace
