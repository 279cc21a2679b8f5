#include "core/balance/context.h"

#include "core/balance/tolerance.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <stdexcept>

namespace ardudf::balance {
namespace {

constexpr std::int32_t initial_slots = 8;
constexpr std::size_t text_block_size = 64 * 1024;
constexpr std::size_t own_block_from = 4096; // a longer type gets a block of its own

std::uint32_t hash_of(std::string_view type) noexcept {
    const std::uint64_t h = std::hash<std::string_view>{}(type); // 32 bits on a 32-bit build
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

std::size_t index_size(std::int32_t row_capacity) noexcept { return static_cast<std::size_t>(row_capacity) * 2; }

// The entry that holds type, or the empty entry where it would go.
RowIndexEntry& probe(const BalanceContext& context, std::string_view type, std::uint32_t hash) noexcept {
    const std::size_t mask = index_size(context.row_capacity) - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        RowIndexEntry& entry = context.index[i];
        if (entry.slot < 0) return entry;
        if (entry.hash == hash && context.rows[static_cast<std::size_t>(entry.slot)].type() == type) return entry;
    }
}

// A NUL-terminated copy of type in the context's text blocks; throws bad_alloc.
const char* store_text(TextBlocks& texts, std::string_view type) {
    const std::size_t size = type.size() + 1;
    char* at;
    if (size >= own_block_from) {
        auto block = std::make_unique_for_overwrite<char[]>(size);
        at = block.get();
        texts.blocks.push_back(std::move(block));
    } else {
        if (size > texts.left) {
            auto block = std::make_unique_for_overwrite<char[]>(text_block_size);
            char* start = block.get();
            texts.blocks.push_back(std::move(block));
            texts.free = start;
            texts.left = text_block_size;
        }
        at = texts.free;
        texts.free += size;
        texts.left -= size;
    }
    if (!type.empty()) std::memcpy(at, type.data(), type.size());
    at[type.size()] = '\0';
    return at;
}

// Doubles the slots and the index; on failure both stay as they were.
void grow(BalanceContext& context) {
    if (context.row_capacity > std::numeric_limits<std::int32_t>::max() / 4) throw std::bad_alloc();
    const std::int32_t grown = context.row_capacity * 2;
    auto index = std::make_unique<RowIndexEntry[]>(index_size(grown));
    context.rows.reserve(static_cast<std::size_t>(grown));
    const std::size_t mask = index_size(grown) - 1;
    for (std::size_t i = 0, n = index_size(context.row_capacity); i < n; ++i) {
        const RowIndexEntry entry = context.index[i];
        if (entry.slot < 0) continue;
        std::size_t at = entry.hash & mask;
        while (index[at].slot >= 0) at = (at + 1) & mask;
        index[at] = entry;
    }
    context.index = std::move(index);
    context.row_capacity = grown;
}

} // namespace

BalanceContext::BalanceContext() noexcept { reset_context(*this); }

void reset_context(BalanceContext& context) noexcept {
    context.total_amount = 0.0;
    context.total_vat = 0.0;
    context.paid_amount = 0.0;
    context.paid_vat = 0.0;
    context.last_vat = 0.0;
    context.cursor = 0;
    // Swapped out rather than cleared, so that a big document's memory goes too.
    std::vector<BalanceRow>().swap(context.rows);
    context.texts = TextBlocks();
    context.index.reset();
    context.row_capacity = 0;
    try {
        context.rows.reserve(initial_slots);
        context.index = std::make_unique<RowIndexEntry[]>(index_size(initial_slots));
        context.row_capacity = initial_slots;
    } catch (const std::bad_alloc&) {
        // No slots: every append_row fails until the context is cleared again.
    }
}

BalanceRow* find_row(BalanceContext& context, std::string_view type) noexcept {
    if (context.row_capacity == 0) return nullptr;
    const RowIndexEntry& entry = probe(context, type, hash_of(type));
    return entry.slot < 0 ? nullptr : &context.rows[static_cast<std::size_t>(entry.slot)];
}

BalanceRow* append_row(BalanceContext& context, std::string_view type) noexcept {
    if (context.row_capacity == 0 || type.size() >= std::numeric_limits<std::uint32_t>::max()) return nullptr;
    try {
        if (context.row_count() == context.row_capacity) grow(context);
        BalanceRow row;
        row.type_text = store_text(context.texts, type);
        row.type_length = static_cast<std::uint32_t>(type.size());
        const std::uint32_t hash = hash_of(type);
        RowIndexEntry& entry = probe(context, type, hash);
        entry.hash = hash;
        entry.slot = context.row_count();
        context.rows.push_back(row); // within capacity: no allocation
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::length_error&) {
        return nullptr;
    }
    return &context.rows.back();
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
        const bool reportable = row.affected != 0 && (row.last_change != 0.0 || context.last_vat != 0.0);
        row.affected = 0;
        if (reportable) return &row;
    }
    return nullptr;
}

void add_row(BalanceContext& context, std::string_view type, double amount, double vat) noexcept {
    if (is_zero_amount(amount, 6) == 1 && is_zero_amount(vat, 6) == 1) return;
    if (BalanceRow* row = find_row(context, type))
        row->amount = row->amount + amount;
    else if (BalanceRow* added = append_row(context, type))
        added->amount = amount;
    context.total_amount = context.total_amount + amount;
    context.total_vat = context.total_vat + vat;
}

std::string_view current_type(BalanceContext& context) noexcept {
    const BalanceRow* row = current_row(context);
    return row != nullptr ? row->type() : std::string_view("");
}

double take_row_amount(BalanceContext& context) noexcept {
    BalanceRow* row = current_row(context);
    if (row == nullptr) return 0.0;
    const double value = row->last_change;
    row->last_change = 0.0;
    return value;
}

double take_vat(BalanceContext& context) noexcept {
    const double value = context.last_vat;
    context.last_vat = 0.0;
    return value;
}

} // namespace ardudf::balance
