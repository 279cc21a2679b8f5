// One payment spread over n rows, then the walk over the rows it changed, through the
// exports as SQL code calls them. The distribution allocates nothing, so the time per row
// (items_per_second) stays flat from 10 to 200,000 rows; the walk allocates one type text
// per row (the server's copy). BM_PaymentOnly is the distribution without the walk.
// Every operator new of this program is counted: BM_PaymentOnly reports the allocations
// per payment (allocs_per_payment), and stops with an error if there is one.
#include "ardudf/ardudf.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {
std::atomic<long> allocations{0};
}

// These replace the global pair, so malloc and free do match; GCC judges each inlined
// call on its own and does not see that.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size != 0 ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size != 0 ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

std::int32_t document(int n) {
    const std::int32_t h = ib_scbcreate();
    const double amount = 10.0, vat = 2.1;
    for (int i = 0; i < n; ++i) {
        const std::string type = "ROW-" + std::to_string(i);
        ib_scbaddrow(&h, type.c_str(), &amount, &vat);
    }
    return h;
}

int walk(std::int32_t h) {
    int rows = 0;
    while (ib_scbisaffectedrows(&h) == 1) {
        std::free(ib_scbreadtype(&h));
        benchmark::DoNotOptimize(ib_scbreadamount(&h));
        benchmark::DoNotOptimize(ib_scbreadvat(&h));
        ++rows;
    }
    return rows;
}

// Pays the whole document and takes it all back, alternately: every row moves each time.
void BM_PaymentAndWalk(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    const std::int32_t h = document(n);
    const double total = 12.1 * n;
    double amount = total;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ib_scbaddpayment(&h, &amount));
        if (walk(h) != n) state.SkipWithError("not every row reported");
        amount = -amount;
    }
    ib_scbfree(&h);
    state.SetComplexityN(n);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_PaymentAndWalk)
    ->RangeMultiplier(10)
    ->Range(10, 100000)
    ->Arg(200000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

void BM_PaymentOnly(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    const std::int32_t h = document(n);
    double amount = 12.1 * n;
    const long before = allocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ib_scbaddpayment(&h, &amount));
        amount = -amount;
    }
    const long allocated = allocations.load() - before;
    state.counters["allocs_per_payment"] = static_cast<double>(allocated) / static_cast<double>(state.iterations());
    if (allocated != 0) state.SkipWithError("a payment allocated");
    ib_scbfree(&h);
    state.SetComplexityN(n);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_PaymentOnly)
    ->RangeMultiplier(10)
    ->Range(10, 100000)
    ->Arg(200000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

} // namespace
