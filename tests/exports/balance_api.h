// The balance exports as a test calls them, and the walk that SQL code runs after a
// payment or credit note.
#pragma once

#include "harness.h"

#include <cstdint>
#include <string>
#include <vector>

namespace balance_api {

struct Api {
    harness::Module& m = harness::shared();
    std::int32_t create() { return m.fn<"ib_scbcreate">()(); }
    std::int32_t addrow(std::int32_t h, const char* t, double a, double v) {
        return m.fn<"ib_scbaddrow">()(&h, t, &a, &v);
    }
    std::int32_t pay(std::int32_t h, double a) { return m.fn<"ib_scbaddpayment">()(&h, &a); }
    std::int32_t credit(std::int32_t h, const char* t, double a, double v) {
        return m.fn<"ib_scbaddcreditnote">()(&h, t, &a, &v);
    }
    std::int32_t affected(std::int32_t h) { return m.fn<"ib_scbisaffectedrows">()(&h); }
    std::string type(std::int32_t h) { return harness::take(m.fn<"ib_scbreadtype">()(&h)); }
    double amount(std::int32_t h) { return m.fn<"ib_scbreadamount">()(&h); }
    double vat(std::int32_t h) { return m.fn<"ib_scbreadvat">()(&h); }
    std::int32_t clear(std::int32_t h) { return m.fn<"ib_scbclear">()(&h); }
    std::int32_t free(std::int32_t h) { return m.fn<"ib_scbfree">()(&h); }
    std::int32_t start(std::int32_t h) { return m.fn<"ib_scbstartcreditnote">()(&h); }
};

// One reported row as the usual loop reads it: type, amount, VAT.
struct Seen {
    std::string type;
    double amount = 0.0;
    double vat = 0.0;
    bool operator==(const Seen&) const = default; // exact doubles
};

inline std::vector<Seen> walk(Api& api, std::int32_t h) {
    std::vector<Seen> seen;
    while (api.affected(h) == 1) {
        Seen s;
        s.type = api.type(h);
        s.amount = api.amount(h);
        s.vat = api.vat(h);
        seen.push_back(s);
    }
    return seen;
}

struct Line {
    const char* type;
    double amount, vat;
};

} // namespace balance_api
