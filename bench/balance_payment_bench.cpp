// One payment spread over n rows, then the walk over the rows it changed, through the
// exports as SQL code calls them. The distribution allocates nothing, so the time per row
// (items_per_second) stays flat from 10 to 200,000 rows; the walk allocates one type text
// per row (the server's copy). BM_PaymentOnly is the distribution without the walk.
#include "ardudf/ardudf.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

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
BENCHMARK(BM_PaymentAndWalk)->Arg(10)->Arg(1000)->Arg(200000)->Unit(benchmark::kMicrosecond)->Complexity();

void BM_PaymentOnly(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    const std::int32_t h = document(n);
    double amount = 12.1 * n;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ib_scbaddpayment(&h, &amount));
        amount = -amount;
    }
    ib_scbfree(&h);
    state.SetComplexityN(n);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_PaymentOnly)->Arg(10)->Arg(1000)->Arg(200000)->Unit(benchmark::kMicrosecond)->Complexity();

} // namespace
