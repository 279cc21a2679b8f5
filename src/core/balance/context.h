// The balance context: the rows of one document, its totals, and the walk over the rows
// that the last payment or credit note changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace ardudf::balance {

struct BalanceRow {
    // The key: a byte-exact copy with its NUL, kept in the context's text blocks, where it
    // stays put while the row array moves.
    const char* type_text = nullptr;
    double amount = 0.0;
    double paid = 0.0;        // allocated so far
    double last_change = 0.0; // change of paid since last read (ib_scbreadamount)
    std::uint32_t type_length = 0;
    std::int32_t affected = 0; // changed by the latest operation, not yet walked past

    std::string_view type() const noexcept { return {type_text, type_length}; }
};

// type -> slot, beside the row array, so that a document of many row types is built in
// linear time. Open addressing over 8-byte entries that keep 32 bits of the type's hash:
// a miss and a regrowth never go back to the rows, and a probe seldom does. The table has
// twice as many entries as the array has slots and grows with it, so it is never more
// than half full and an insert never allocates.
struct RowIndexEntry {
    std::uint32_t hash = 0;
    std::int32_t slot = -1; // -1: empty
};

// Type texts of all rows, in blocks that never move; freed together with the rows.
struct TextBlocks {
    std::vector<std::unique_ptr<char[]>> blocks;
    char* free = nullptr;
    std::size_t left = 0;
};

struct BalanceContext {
    double total_amount = 0.0;
    double total_vat = 0.0; // VAT lives only here, never per row
    double paid_amount = 0.0;
    double paid_vat = 0.0;
    double last_vat = 0.0;                  // VAT moved by the latest operation, until read
    std::vector<BalanceRow> rows;           // slot order = creation order, never reordered
    std::int32_t row_capacity = 0;          // 8, doubled when full; 0 when the slots could not be had
    std::int32_t cursor = 0;                // -1 before the first row; outside the rows: no current row
    std::unique_ptr<RowIndexEntry[]> index; // 2 * row_capacity entries
    TextBlocks texts;

    BalanceContext() noexcept;
    BalanceContext(const BalanceContext&) = delete;
    BalanceContext& operator=(const BalanceContext&) = delete;

    std::int32_t row_count() const noexcept { return static_cast<std::int32_t>(rows.size()); }
};

// Null when no row has exactly this type.
BalanceRow* find_row(BalanceContext& context, std::string_view type) noexcept;

// A new row with this type at slot row_count; null when memory runs out, and then the
// context is as it was. The pointer is good until the next append_row.
BalanceRow* append_row(BalanceContext& context, std::string_view type) noexcept;

// The row under the cursor, or null.
BalanceRow* current_row(BalanceContext& context) noexcept;

// Moves the cursor to the next row that is marked and has something to report (its own
// change, or VAT not yet read), clearing the mark of every row it passes; null at the end.
BalanceRow* next_affected_row(BalanceContext& context) noexcept;

// The type of the row under the cursor; empty when there is none.
std::string_view current_type(BalanceContext& context) noexcept;

// Read-and-reset: what the last operations allocated to the row under the cursor (0.0
// without one), and the VAT they moved; each is 0.0 after it is read.
double take_row_amount(BalanceContext& context) noexcept;
double take_vat(BalanceContext& context) noexcept;

// Every field to zero, the cursor to 0, and 8 empty slots (none when memory runs out).
void reset_context(BalanceContext& context) noexcept;

// One document line: amount to the row of type (made on first use), amount and vat to the
// totals. A line zero at 6 places in both is ignored; without memory for a new row the
// totals still move.
void add_row(BalanceContext& context, std::string_view type, double amount, double vat) noexcept;

} // namespace ardudf::balance
