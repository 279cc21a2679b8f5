// The handle table and the balance calls that do little else: what a lease costs per
// call with one thread, with two threads each on its own context (the table shared, the
// slots not), and with two threads on one context (its slot's lock taken in turn).
// Create and free go through the table's mutex. Baseline: BM_HandleZero, the same export
// given handle 0, which leases nothing.
//
// What the keyed numbering costs: BM_Table* run the table itself twice in the same run,
// once numbered as the module numbers it (KeyedNumbering, a Speck32/64 permutation) and
// once with the handle being the plain slot-and-generation value, as before the keys.
#include "ardudf/ardudf.h"
#include "core/balance/handle_cipher.h"
#include "core/balance/handle_table.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// A document of 20 rows, paid, with the cursor on its first changed row.
std::int32_t cursor_document() {
    const std::int32_t h = ib_scbcreate();
    const double amount = 100.0, vat = 21.0, payment = 2420.0;
    for (int i = 0; i < 20; ++i) {
        const std::string type = "T" + std::to_string(i);
        ib_scbaddrow(&h, type.c_str(), &amount, &vat);
    }
    ib_scbaddpayment(&h, &payment);
    ib_scbisaffectedrows(&h);
    return h;
}

// ---- the table on its own, keyed and plain ----

using ardudf::balance::BalanceContext;
using ardudf::balance::HandleTable;
using ardudf::balance::KeyedNumbering;

struct PlainNumbering {
    std::uint32_t handle_of(std::uint32_t value) const noexcept { return value; }
    std::uint32_t value_of(std::uint32_t handle) const noexcept { return handle; }
};

template <class Numbering> HandleTable<Numbering>& table();
template <> HandleTable<KeyedNumbering>& table() {
    static HandleTable<KeyedNumbering> t{KeyedNumbering(ardudf::balance::module_key())};
    return t;
}
template <> HandleTable<PlainNumbering>& table() {
    static HandleTable<PlainNumbering> t{PlainNumbering{}};
    return t;
}

// A lease of a live context, as every balance call takes one: find, lock, read, unlock.
// Keyed handles take one to several rounds of the cipher each (two on average), so the
// lease goes through 64 contexts in turn.
constexpr int table_contexts = 64;

template <class Numbering> void BM_TableLease(benchmark::State& state) {
    auto& t = table<Numbering>();
    std::int32_t handles[table_contexts];
    for (auto& h : handles) h = t.add(new BalanceContext());
    int i = 0;
    for (auto _ : state) {
        auto* slot = t.lock(handles[i]);
        benchmark::DoNotOptimize(slot->context);
        t.unlock(slot);
        i = (i + 1) % table_contexts;
    }
    for (const auto h : handles) delete t.remove(h);
}
BENCHMARK_TEMPLATE(BM_TableLease, PlainNumbering)->Threads(1)->Threads(2)->UseRealTime();
BENCHMARK_TEMPLATE(BM_TableLease, KeyedNumbering)->Threads(1)->Threads(2)->UseRealTime();

// Forged handles, live ones with a bit flipped: the lookup that finds nothing.
template <class Numbering> void BM_TableLeaseForged(benchmark::State& state) {
    auto& t = table<Numbering>();
    const std::int32_t h = t.add(new BalanceContext());
    std::int32_t forged[table_contexts];
    for (int i = 0; i < table_contexts; ++i) forged[i] = h ^ (1 << (i % 30)) ^ (i << 8);
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(t.lock(forged[i]));
        i = (i + 1) % table_contexts;
    }
    delete t.remove(h);
}
BENCHMARK_TEMPLATE(BM_TableLeaseForged, PlainNumbering);
BENCHMARK_TEMPLATE(BM_TableLeaseForged, KeyedNumbering);

template <class Numbering> void BM_TableAddRemove(benchmark::State& state) {
    auto& t = table<Numbering>();
    BalanceContext context;
    for (auto _ : state) benchmark::DoNotOptimize(t.remove(t.add(&context)));
}
BENCHMARK_TEMPLATE(BM_TableAddRemove, PlainNumbering);
BENCHMARK_TEMPLATE(BM_TableAddRemove, KeyedNumbering);

// ---- through the exports ----

void BM_HandleZero(benchmark::State& state) {
    const std::int32_t h = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ib_scbreadvat(&h));
}
BENCHMARK(BM_HandleZero);

// Each thread its own context: the lease of an uncontended slot.
void BM_LeaseOwnContext(benchmark::State& state) {
    const std::int32_t h = cursor_document();
    for (auto _ : state) benchmark::DoNotOptimize(ib_scbreadvat(&h));
    ib_scbfree(&h);
}
BENCHMARK(BM_LeaseOwnContext)->Threads(1)->Threads(2)->UseRealTime();

// Both threads on one context: the slot's lock passes between them on every call.
std::int32_t shared_handle = 0;
void BM_LeaseSharedContext(benchmark::State& state) {
    if (state.thread_index() == 0) shared_handle = cursor_document();
    for (auto _ : state) benchmark::DoNotOptimize(ib_scbreadvat(&shared_handle));
    if (state.thread_index() == 0) ib_scbfree(&shared_handle);
}
BENCHMARK(BM_LeaseSharedContext)->Threads(1)->Threads(2)->UseRealTime();

void BM_CreateFree(benchmark::State& state) {
    for (auto _ : state) {
        const std::int32_t h = ib_scbcreate();
        benchmark::DoNotOptimize(ib_scbfree(&h));
    }
}
BENCHMARK(BM_CreateFree)->Threads(1)->Threads(2)->UseRealTime();

// ---- the remaining balance calls, per call, on a 20-row document ----

template <class Call> void per_call(benchmark::State& state, Call call) {
    const std::int32_t h = cursor_document();
    for (auto _ : state) call(h);
    ib_scbfree(&h);
}

void BM_ReadType(benchmark::State& state) {
    per_call(state, [](const std::int32_t& h) {
        char* t = ib_scbreadtype(&h);
        benchmark::DoNotOptimize(t);
        std::free(t); // the bench host's ib_util_malloc is malloc
    });
}
BENCHMARK(BM_ReadType);

void BM_ReadAmount(benchmark::State& state) {
    per_call(state, [](const std::int32_t& h) { benchmark::DoNotOptimize(ib_scbreadamount(&h)); });
}
BENCHMARK(BM_ReadAmount);

void BM_IsAffectedRowsAtEnd(benchmark::State& state) {
    per_call(state, [](const std::int32_t& h) { benchmark::DoNotOptimize(ib_scbisaffectedrows(&h)); });
}
BENCHMARK(BM_IsAffectedRowsAtEnd);

void BM_StartCreditNote(benchmark::State& state) {
    per_call(state, [](const std::int32_t& h) { benchmark::DoNotOptimize(ib_scbstartcreditnote(&h)); });
}
BENCHMARK(BM_StartCreditNote);

// A credit note on one row and its reversal, alternately: both spread again over 20 rows.
void BM_CreditNote(benchmark::State& state) {
    double amount = 5.0;
    const double vat = 0.0;
    per_call(state, [&](const std::int32_t& h) {
        benchmark::DoNotOptimize(ib_scbaddcreditnote(&h, "T7", &amount, &vat));
        amount = -amount;
    });
}
BENCHMARK(BM_CreditNote);

// Adding to a row that exists: the lookup of its type and two sums.
void BM_AddToExistingRow(benchmark::State& state) {
    const double amount = 1.0, vat = 0.21;
    per_call(state, [&](const std::int32_t& h) { benchmark::DoNotOptimize(ib_scbaddrow(&h, "T7", &amount, &vat)); });
}
BENCHMARK(BM_AddToExistingRow);

void BM_ClearEmpty(benchmark::State& state) {
    const std::int32_t h = ib_scbcreate();
    for (auto _ : state) benchmark::DoNotOptimize(ib_scbclear(&h));
    ib_scbfree(&h);
}
BENCHMARK(BM_ClearEmpty);

} // namespace
