// The text exports on 16-byte, 1 KB and 32 KB inputs, called as the server calls them
// (result allocated and freed each time). Beside the byte-wise ones: the obvious loop
// (Naive*) and a plain copy of the same size (Memcpy, the ceiling), so that the speed is
// read as a ratio within one run.
#include "ardudf/ardudf.h"
#include "core/text/cleaning.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Windows-1250 prose: "Příliš žluťoučký kůň úpěl ďábelské ódy. Straße, 1 'x' + 2; "
const std::string prose_unit = "P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2 \xFAp\xECl \xEF\xE1\x62\x65lsk\xE9 "
                               "\xF3\x64y. Stra\xDF\x65, 1 'x' + 2; ";
const std::string phone_unit = "+420 (603) 123-456, tel. 777 888 999; ";

std::string fill(const std::string& unit, std::int64_t size) {
    std::string s;
    while (static_cast<std::int64_t>(s.size()) < size) s += unit;
    s.resize(static_cast<std::size_t>(size));
    return s;
}

// A list whose first token is half the text: get and delete both walk a long run.
std::string token_list(std::int64_t size) {
    std::string s(static_cast<std::size_t>(size / 2), 't');
    s += ",,";
    s += fill("ab,cd,", size - static_cast<std::int64_t>(s.size()));
    return s;
}

template <class Call> void run(benchmark::State& state, std::int64_t bytes, Call call) {
    for (auto _ : state) {
        char* r = call();
        benchmark::DoNotOptimize(r);
        std::free(r);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

#define TEXT_BENCH(name) BENCHMARK(name)->Arg(16)->Arg(1024)->Arg(32768)

// ---- the byte-wise exports and their references ----

void Memcpy(benchmark::State& state) {
    const std::string in = fill(prose_unit, state.range(0));
    run(state, state.range(0), [&] {
        char* r = static_cast<char*>(std::malloc(in.size() + 1));
        std::memcpy(r, in.c_str(), in.size() + 1);
        return r;
    });
}
TEXT_BENCH(Memcpy);

void Reverse(benchmark::State& state) {
    const std::string in = fill(prose_unit, state.range(0));
    run(state, state.range(0), [&] { return ib_reversestring(in.c_str()); });
}
TEXT_BENCH(Reverse);

void NaiveReverse(benchmark::State& state) {
    const std::string in = fill(prose_unit, state.range(0));
    run(state, state.range(0), [&] {
        const std::size_t n = std::strlen(in.c_str());
        char* r = static_cast<char*>(std::malloc(n + 1));
        for (std::size_t i = 0; i < n; ++i) {
            r[i] = in[n - 1 - i];
            benchmark::ClobberMemory(); // the byte-at-a-time loop, kept from being vectorised
        }
        r[n] = '\0';
        return r;
    });
}
TEXT_BENCH(NaiveReverse);

void Quote(benchmark::State& state) {
    const std::string in = fill(prose_unit, state.range(0));
    run(state, state.range(0), [&] { return ib_quote_literal(in.c_str()); });
}
TEXT_BENCH(Quote);

void NaiveQuote(benchmark::State& state) {
    const std::string in = fill(prose_unit, state.range(0));
    run(state, state.range(0), [&] {
        const std::size_t n = std::strlen(in.c_str());
        char* r = static_cast<char*>(std::malloc(2 * n + 3));
        char* w = r;
        *w++ = '\'';
        for (std::size_t i = 0; i < n; ++i) {
            *w++ = in[i];
            if (in[i] == '\'') *w++ = '\'';
        }
        *w++ = '\'';
        *w = '\0';
        return r;
    });
}
TEXT_BENCH(NaiveQuote);

void Phone(benchmark::State& state) {
    const std::string in = fill(phone_unit, state.range(0));
    run(state, state.range(0), [&] { return ib_correct_phone_number(in.c_str()); });
}
TEXT_BENCH(Phone);

void NaivePhone(benchmark::State& state) {
    const std::string in = fill(phone_unit, state.range(0));
    run(state, state.range(0), [&] {
        const std::size_t n = std::strlen(in.c_str());
        char* r = static_cast<char*>(std::malloc(n + 1));
        std::size_t k = 0;
        for (std::size_t i = 0; i < n; ++i)
            if (in[i] >= '0' && in[i] <= '9') r[k++] = in[i];
        r[k] = '\0';
        return r;
    });
}
TEXT_BENCH(NaivePhone);

void Diacritics(benchmark::State& state) {
    const std::string in = fill(prose_unit, state.range(0));
    run(state, state.range(0), [&] { return ib_remove_diacritics(in.c_str()); });
}
TEXT_BENCH(Diacritics);

// A search of the accented bytes for every byte.
void NaiveDiacritics(benchmark::State& state) {
    using namespace ardudf::text;
    const std::string in = fill(prose_unit, state.range(0));
    run(state, state.range(0), [&] {
        const std::size_t n = std::strlen(in.c_str());
        char* r = static_cast<char*>(std::malloc(n + 1));
        std::memcpy(r, in.c_str(), n + 1);
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t k = 0; k < accented_count; ++k)
                if (static_cast<unsigned char>(r[i]) == accented_bytes[k]) {
                    r[i] = plain_letters[k];
                    break;
                }
        return r;
    });
}
TEXT_BENCH(NaiveDiacritics);

void GetToken(benchmark::State& state) {
    const std::string in = token_list(state.range(0));
    run(state, state.range(0), [&] { return ib_get_token(in.c_str(), ","); });
}
TEXT_BENCH(GetToken);

void DeleteToken(benchmark::State& state) {
    const std::string in = token_list(state.range(0));
    run(state, state.range(0), [&] { return ib_delete_token(in.c_str(), ","); });
}
TEXT_BENCH(DeleteToken);

void NaiveDeleteToken(benchmark::State& state) {
    const std::string in = token_list(state.range(0));
    run(state, state.range(0), [&] {
        const char* p = in.c_str();
        while (*p == ',') ++p;
        while (*p != '\0' && *p != ',') ++p;
        while (*p == ',') ++p;
        const std::size_t n = std::strlen(p);
        char* r = static_cast<char*>(std::malloc(n + 1));
        std::memcpy(r, p, n + 1);
        return r;
    });
}
TEXT_BENCH(NaiveDeleteToken);

void FindToken(benchmark::State& state) {
    const std::string in = fill("abcdefghijklmnopqrstuvwxy", state.range(0)); // part absent: a full scan
    for (auto _ : state) benchmark::DoNotOptimize(ib_find_token(in.c_str(), "xyz!"));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
TEXT_BENCH(FindToken);

// ---- the rest: per call ----

void Left(benchmark::State& state) {
    const std::string in = fill(prose_unit, state.range(0));
    const std::int32_t n = static_cast<std::int32_t>(state.range(0) / 2);
    run(state, state.range(0) / 2, [&] { return ib_string_left(in.c_str(), &n); });
}
TEXT_BENCH(Left);

void Right(benchmark::State& state) {
    const std::string in = fill(prose_unit, state.range(0));
    const std::int32_t n = static_cast<std::int32_t>(state.range(0) / 2);
    run(state, state.range(0) / 2, [&] { return ib_string_right(in.c_str(), &n); });
}
TEXT_BENCH(Right);

void Lpad(benchmark::State& state) {
    const std::string in = fill(prose_unit, state.range(0) / 2);
    const std::int32_t n = static_cast<std::int32_t>(state.range(0));
    run(state, state.range(0), [&] { return ib_lpad(in.c_str(), &n, "0"); });
}
TEXT_BENCH(Lpad);

void UniqueId(benchmark::State& state) {
    const std::int32_t n = static_cast<std::int32_t>(state.range(0));
    run(state, state.range(0), [&] { return ib_uniqueid(&n); });
}
TEXT_BENCH(UniqueId);

void StringLength(benchmark::State& state) {
    const std::string in = fill(prose_unit, state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(ib_string_length(in.c_str()));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
TEXT_BENCH(StringLength);

void IsNotNull(benchmark::State& state) {
    run(state, 1, [] { return ib_isnotnull("x"); });
}
BENCHMARK(IsNotNull);

void PrefixCodes(benchmark::State& state) {
    run(state, 1, [] { return ib_gets_u_prefix("A"); });
}
BENCHMARK(PrefixCodes);

void PrefixCodes2(benchmark::State& state) {
    run(state, 1, [] { return ib_gets_u2_prefix("N", "A"); });
}
BENCHMARK(PrefixCodes2);

void ConvCharToInt(benchmark::State& state) {
    const char* texts[] = {"  -2147483648", "42abc", "99999999999999"};
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ib_convchartoint(texts[i++ % 3]));
}
BENCHMARK(ConvCharToInt);

void GreatestLeast(benchmark::State& state) {
    double a = 1.5, b = -2.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ib_greatest(&a, &b));
        benchmark::DoNotOptimize(ib_least(&a, &b));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(GreatestLeast);

} // namespace
