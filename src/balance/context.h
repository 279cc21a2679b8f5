// The balance context: the rows of one document, its totals, and the walk over the rows
// that the last payment or credit note changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace ardudf::balance {

struct BalanceRow {
    std::string type;         // the key, byte-exact
    double amount = 0.0;
    double paid = 0.0;        // allocated so far
    double last_change = 0.0; // change of paid since last read (ib_scbreadamount)
    std::int32_t affected = 0; // changed by the latest operation, not yet walked past
};

// Rows are found by type through a hash index of slot numbers beside the slot array, so
// that a document of many row types is built in linear time. The index hashes the type
// of the row a slot number names, and also takes a plain text to look up.
struct RowKeyHash {
    using is_transparent = void;
    const std::vector<BalanceRow>* rows;
    std::size_t operator()(std::string_view type) const noexcept {
        return std::hash<std::string_view>{}(type);
    }
    std::size_t operator()(std::int32_t slot) const noexcept {
        return (*this)(std::string_view((*rows)[static_cast<std::size_t>(slot)].type));
    }
};

struct RowKeyEqual {
    using is_transparent = void;
    const std::vector<BalanceRow>* rows;
    std::string_view key(std::string_view type) const noexcept { return type; }
    std::string_view key(std::int32_t slot) const noexcept {
        return (*rows)[static_cast<std::size_t>(slot)].type;
    }
    template <class A, class B>
    bool operator()(const A& a, const B& b) const noexcept { return key(a) == key(b); }
};

struct BalanceContext {
    double total_amount = 0.0;
    double total_vat = 0.0; // VAT lives only here, never per row
    double paid_amount = 0.0;
    double paid_vat = 0.0;
    double last_vat = 0.0;  // VAT moved by the latest operation, until read
    std::vector<BalanceRow> rows; // slot order = creation order, never reordered
    std::int32_t row_capacity = 0; // 8, doubled when full; 0 when the slots could not be had
    std::int32_t cursor = 0;       // -1 before the first row; outside the rows: no current row
    std::unordered_set<std::int32_t, RowKeyHash, RowKeyEqual> index;

    BalanceContext();
    BalanceContext(const BalanceContext&) = delete;
    BalanceContext& operator=(const BalanceContext&) = delete;

    std::int32_t row_count() const noexcept { return static_cast<std::int32_t>(rows.size()); }
};

// Null when no row has exactly this type.
BalanceRow* find_row(BalanceContext& context, std::string_view type) noexcept;

// A new row with this type at slot row_count; null when memory runs out, and then the
// context is as it was.
BalanceRow* append_row(BalanceContext& context, std::string_view type) noexcept;

// The row under the cursor, or null.
BalanceRow* current_row(BalanceContext& context) noexcept;

// Moves the cursor to the next row that is marked and has something to report (its own
// change, or VAT not yet read), clearing the mark of every row it passes; null at the end.
BalanceRow* next_affected_row(BalanceContext& context) noexcept;

// Every field to zero, the cursor to 0, and 8 empty slots.
void reset_context(BalanceContext& context) noexcept;

} // namespace ardudf::balance
