// The balance engine under a random sequence of operations on a few contexts: rows,
// payments, credit notes, walks and reads, clear and free, handles forged from live ones
// or kept after their free, null argument pointers, and failures of the library's own
// heap and of the result allocator. A model of which handles are live and which types
// each context has seen checks every result that does not depend on the arithmetic.
#include "allocation_faults.h"
#include "support/host.h"
#include "support/values.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

namespace {

using H = const std::int32_t*;
using create_fn = std::int32_t() noexcept;
using row_fn = std::int32_t(H, const char*, const double*, const double*) noexcept;
using pay_fn = std::int32_t(H, const double*) noexcept;
using int_fn = std::int32_t(H) noexcept;
using dbl_fn = double(H) noexcept;
using text_fn = char*(H) noexcept;

struct Api {
    create_fn* create;
    row_fn* addrow;
    row_fn* creditnote; // null until the build has it
    pay_fn* payment;    // null until the build has it
    int_fn* start;
    int_fn* affected;
    text_fn* type;
    dbl_fn* amount;
    dbl_fn* vat;
    int_fn* clear;
    int_fn* free;
};
Api api;

template <class F> F* need(const char* n) {
    auto* f = reinterpret_cast<F*>(fuzz::find_export(n));
    if (f == nullptr) {
        std::printf("%s: the library does not export it\n", n);
        std::exit(1);
    }
    return f;
}

// What a live context has seen: every type it may hold a row for (a superset, since an
// injected failure may have kept a row from being made).
struct Model {
    std::set<std::string> types;
};

constexpr const char* known_types[] = {"", "GOODS", "SERVICE", "DISCOUNT", "goods", "GOODS ", "VAT", "\xe8"};

std::string consume_type(FuzzedDataProvider& in) {
    const std::uint8_t how = in.ConsumeIntegral<std::uint8_t>();
    if (how < 200) return known_types[how % std::size(known_types)];
    return in.ConsumeRandomLengthString(40);
}

double consume_amount(FuzzedDataProvider& in) { return fuzz::consume_double(in); }

void check(bool ok, const char* what) {
    if (!ok) fuzz::fail(what, "balance");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    api.create = need<create_fn>("ib_scbcreate");
    api.addrow = need<row_fn>("ib_scbaddrow");
    api.creditnote = need<row_fn>("ib_scbaddcreditnote");
    api.payment = need<pay_fn>("ib_scbaddpayment");
    api.start = need<int_fn>("ib_scbstartcreditnote");
    api.affected = need<int_fn>("ib_scbisaffectedrows");
    api.type = need<text_fn>("ib_scbreadtype");
    api.amount = need<dbl_fn>("ib_scbreadamount");
    api.vat = need<dbl_fn>("ib_scbreadvat");
    api.clear = need<int_fn>("ib_scbclear");
    api.free = need<int_fn>("ib_scbfree");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    constexpr int slots = 4;
    std::int32_t handle[slots] = {};
    std::map<std::int32_t, Model> live;
    auto is_live = [&](std::int32_t h) { return live.count(h) != 0; };

    for (int step = 0; step < 256 && in.remaining_bytes() > 0; ++step) {
        const int s = in.ConsumeIntegralInRange(0, slots - 1);
        const std::int32_t h = handle[s];
        const bool null_handle = in.ConsumeIntegral<std::uint8_t>() < 8;
        const std::int32_t* hp = null_handle ? nullptr : &handle[s];
        const bool ok = !null_handle && is_live(h); // a null handle reads as 0
        // Sometimes the library's own heap fails from the k-th allocation of this call on.
        const std::uint8_t fault = in.ConsumeIntegral<std::uint8_t>();
        const long fail_own = fault < 24 ? 1 + fault % 6 : 0;

        switch (in.ConsumeIntegralInRange(0, 12)) {
        case 0: { // create, over whatever the slot held (a leak the model keeps track of)
            std::int32_t made;
            {
                faults::Armed armed(fail_own);
                made = api.create();
            }
            if (made != 0) {
                check(!is_live(made), "create gave a live handle");
                live[made];
                if (is_live(h)) api.free(&h), live.erase(h);
                handle[s] = made;
            } else {
                check(fail_own != 0, "create failed without a failure");
            }
            break;
        }
        case 1:
        case 2: { // add a row, or a credit note
            const std::string type = consume_type(in);
            const fuzz::Text t = fuzz::make_text(type);
            const double a = consume_amount(in), v = consume_amount(in);
            const bool null_type = in.ConsumeBool(), null_a = in.ConsumeBool(), null_v = in.ConsumeBool();
            row_fn* f = api.addrow;
            if (step & 1) f = api.creditnote;
            std::int32_t r;
            {
                faults::Armed armed(fail_own);
                r = f(hp, null_type ? nullptr : t.get(), null_a ? nullptr : &a, null_v ? nullptr : &v);
            }
            check(r == (ok ? 1 : 0), "add row / credit note result");
            if (ok) live[h].types.insert(null_type ? std::string() : std::string(t.get(), t.length));
            break;
        }
        case 3: { // payment
            const double a = consume_amount(in);
            std::int32_t r;
            {
                faults::Armed armed(fail_own);
                r = api.payment(hp, in.ConsumeBool() ? nullptr : &a);
            }
            check(ok ? (r == 0 || r == 1) : r == 0, "payment result");
            break;
        }
        case 4:
            check(api.start(hp) == 1, "start credit note");
            break;
        case 5: { // walk: ends within one step per row, reading each row on the way
            const std::size_t bound = ok ? live[h].types.size() + 1 : 1;
            std::size_t n = 0;
            while (api.affected(hp) == 1) {
                check(ok, "walk on a dead handle");
                check(++n <= bound, "walk does not end");
                std::free(api.type(hp));
                api.amount(hp);
                api.vat(hp);
            }
            break;
        }
        case 6: { // read the type: one of the context's types, or empty
            const long fail_result = in.ConsumeIntegral<std::uint8_t>() < 32 ? in.ConsumeIntegralInRange(1, 2) : 0;
            fuzz::fail_results_from(fail_result);
            char* r;
            {
                faults::Armed armed(fail_own);
                r = api.type(hp);
            }
            if (r == nullptr) {
                check(fuzz::refused_results() > 0, "read type null without a failure");
            } else {
                const std::string got(r);
                std::free(r);
                check(got.empty() || (ok && live[h].types.count(got) != 0), "read type gave a type never added");
            }
            fuzz::fail_results_from(0);
            break;
        }
        case 7: { // read-and-reset amount
            const double first = api.amount(hp);
            const double second = api.amount(hp);
            check(second == 0.0 && !std::signbit(second), "amount not reset by its read");
            if (!ok) check(first == 0.0, "amount of a dead handle");
            break;
        }
        case 8: { // read-and-reset VAT
            const double first = api.vat(hp);
            const double second = api.vat(hp);
            check(second == 0.0 && !std::signbit(second), "VAT not reset by its read");
            if (!ok) check(first == 0.0, "VAT of a dead handle");
            break;
        }
        case 9: { // clear
            std::int32_t r;
            {
                faults::Armed armed(fail_own);
                r = api.clear(hp);
            }
            check(r == (ok ? 1 : 0), "clear result");
            if (ok) live[h].types.clear();
            break;
        }
        case 10: // free
            check(api.free(hp) == (ok ? 1 : 0), "free result");
            if (ok) live.erase(h);
            break;
        case 11: { // forge: a live handle with a bit flipped, or any number
            if (in.ConsumeBool())
                handle[s] = h ^ static_cast<std::int32_t>(1u << in.ConsumeIntegralInRange(0, 31));
            else
                handle[s] = fuzz::consume_int32(in);
            break;
        }
        case 12: // another slot's handle, live or not
            handle[s] = handle[in.ConsumeIntegralInRange(0, slots - 1)];
            break;
        }
    }
    for (auto& [h, model] : live) check(api.free(&h) == 1, "free at the end");
    return 0;
}
