// Building a document of n distinct row types, from 10 to 200,000 rows: linear in n (the
// time per row, items_per_second, stays flat, and the fitted complexity is N).
#include "ardudf/ardudf.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

void BM_AddDistinctRows(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    std::vector<std::string> types;
    types.reserve(n);
    for (int i = 0; i < n; ++i) types.push_back("ROW-TYPE-" + std::to_string(i));
    const double amount = 10.0, vat = 2.1;
    for (auto _ : state) {
        const std::int32_t h = ib_scbcreate();
        for (const auto& t : types) ib_scbaddrow(&h, t.c_str(), &amount, &vat);
        ib_scbfree(&h);
    }
    state.SetComplexityN(n);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AddDistinctRows)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(25000)
    ->Arg(100000)
    ->Arg(200000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

} // namespace
