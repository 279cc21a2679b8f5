#include "balance/context.h"

#include <limits>
#include <new>
#include <stdexcept>

namespace ardudf::balance {
namespace {
constexpr std::int32_t initial_slots = 8;
}

BalanceContext::BalanceContext()
    : index(0, RowKeyHash{&rows}, RowKeyEqual{&rows}) {
    reset_context(*this);
}

void reset_context(BalanceContext& context) noexcept {
    context.total_amount = 0.0;
    context.total_vat = 0.0;
    context.paid_amount = 0.0;
    context.paid_vat = 0.0;
    context.last_vat = 0.0;
    context.cursor = 0;
    context.index.clear();
    std::vector<BalanceRow>().swap(context.rows);
    context.row_capacity = 0;
    try {
        context.rows.reserve(initial_slots);
        context.row_capacity = initial_slots;
    } catch (const std::bad_alloc&) {
        // No slots: every append_row fails until the context is cleared again.
    }
}

BalanceRow* find_row(BalanceContext& context, std::string_view type) noexcept {
    auto it = context.index.find(type);
    if (it == context.index.end()) return nullptr;
    return &context.rows[static_cast<std::size_t>(*it)];
}

BalanceRow* append_row(BalanceContext& context, std::string_view type) noexcept {
    if (context.row_capacity == 0) return nullptr;
    auto& rows = context.rows;
    try {
        if (context.row_count() == context.row_capacity) {
            if (context.row_capacity > std::numeric_limits<std::int32_t>::max() / 2) return nullptr;
            rows.reserve(static_cast<std::size_t>(context.row_capacity) * 2);
            context.row_capacity *= 2;
        }
        rows.push_back(BalanceRow{std::string(type)});
        try {
            context.index.insert(context.row_count() - 1);
        } catch (...) {
            rows.pop_back();
            throw;
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::length_error&) {
        return nullptr;
    }
    return &rows.back();
}

BalanceRow* current_row(BalanceContext& context) noexcept {
    if (context.cursor < 0 || context.cursor >= context.row_count()) return nullptr;
    return &context.rows[static_cast<std::size_t>(context.cursor)];
}

BalanceRow* next_affected_row(BalanceContext& context) noexcept {
    const std::int32_t last = context.row_count() - 1;
    while (context.cursor < last) {
        ++context.cursor;
        BalanceRow& row = context.rows[static_cast<std::size_t>(context.cursor)];
        // Exact comparisons: a change of 1e-12 is still a change to report.
        const bool reportable =
            row.affected != 0 && (row.last_change != 0.0 || context.last_vat != 0.0);
        row.affected = 0;
        if (reportable) return &row;
    }
    return nullptr;
}

} // namespace ardudf::balance
