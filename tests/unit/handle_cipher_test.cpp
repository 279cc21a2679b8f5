// The keyed numbering of balance handles: the cipher against its published test vector,
// and the numbering one to one over table values, always in [2^20, 2^31), also where the
// cipher has to be walked past values out of that range.
#include "core/balance/handle_cipher.h"
#include "core/balance/handle_table.h"
#include "platform/random.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

using namespace ardudf::balance;

constexpr SpeckKey paper_key{0x1918, 0x1110, 0x0908, 0x0100};
constexpr std::uint32_t floor_value = KeyedNumbering::floor;
bool in_range(std::uint32_t x) { return x >= floor_value && x < 0x80000000u; }

TEST(Speck32, PublishedTestVector) {
    const Speck32 cipher(paper_key);
    EXPECT_EQ(cipher.encrypt(0x6574694c), 0xa86842f2u);
    EXPECT_EQ(cipher.decrypt(0xa86842f2), 0x6574694cu);
}

TEST(Speck32, DecryptUndoesEncrypt) {
    const Speck32 cipher({0xffff, 0x0000, 0x1234, 0xfedc});
    for (std::uint32_t v : {0u, 1u, 0xffffu, 0x10000u, 0x7fffffffu, 0x80000000u, 0xffffffffu, 0x00100001u})
        EXPECT_EQ(cipher.decrypt(cipher.encrypt(v)), v) << v;
}

// Table values of the first slots and generations, and the extremes.
std::vector<std::uint32_t> table_values() {
    std::vector<std::uint32_t> v;
    for (std::uint32_t generation : {1u, 2u, 3u, 2046u, 2047u})
        for (std::uint32_t slot = 1; slot <= 2000; ++slot) v.push_back((generation << 20) | slot);
    v.push_back(0x7fffffffu);
    v.push_back(0x40000001u);
    return v;
}

class Numbering : public ::testing::TestWithParam<SpeckKey> {};

TEST_P(Numbering, IsOneToOneAndInRange) {
    const KeyedNumbering n(GetParam());
    std::set<std::uint32_t> handles;
    for (const std::uint32_t v : table_values()) {
        const std::uint32_t h = n.handle_of(v);
        ASSERT_TRUE(in_range(h)) << v << " gives " << h;
        ASSERT_EQ(n.value_of(h), v) << v;
        handles.insert(h);
    }
    EXPECT_EQ(handles.size(), table_values().size());
    for (std::uint32_t out : {0u, 1u, 2u, 12345u, floor_value - 1, 0x80000000u, 0xfff00001u, 0xffffffffu})
        EXPECT_EQ(n.value_of(out), 0u) << out;
}

// About half the values meet one out of range on their way, some several; those must
// round-trip too, both from the value side and from the handle side.
TEST_P(Numbering, WalksPastValuesOutOfRange) {
    const Speck32 cipher(GetParam());
    const KeyedNumbering n(GetParam());
    int walked_out = 0, walked_back = 0, wrong = 0;
    for (std::uint32_t x = floor_value; x < floor_value + 20000; ++x) {
        if (!in_range(cipher.encrypt(x))) {
            ++walked_out;
            const std::uint32_t h = n.handle_of(x);
            wrong += !in_range(h) || n.value_of(h) != x;
        }
        if (!in_range(cipher.decrypt(x))) {
            ++walked_back;
            const std::uint32_t v = n.value_of(x);
            wrong += !in_range(v) || n.handle_of(v) != x;
        }
    }
    EXPECT_GT(walked_out, 5000);
    EXPECT_GT(walked_back, 5000);
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Keys, Numbering,
                         ::testing::Values(paper_key, SpeckKey{0, 0, 0, 0}, SpeckKey{0xffff, 0xffff, 0xffff, 0xffff},
                                           SpeckKey{0x0123, 0x4567, 0x89ab, 0xcdef}));

TEST(Numbering, TheKeyDecidesTheHandles) {
    const KeyedNumbering a(paper_key), b(SpeckKey{0x1918, 0x1110, 0x0908, 0x0101});
    int same = 0;
    for (std::uint32_t value = (1u << 20) | 1; value <= ((1u << 20) | 100); ++value)
        same += a.handle_of(value) == b.handle_of(value);
    EXPECT_EQ(same, 0);
}

// The key comes from the system: two draws differ (equal with odds of 2^-64), and so do
// two fills of the same buffer, whole words or not.
TEST(ModuleKey, IsDrawnAnew) {
    EXPECT_NE(module_key(), module_key());
    for (std::size_t size : {1u, 7u, 64u}) {
        unsigned char a[64] = {}, b[64] = {};
        ASSERT_TRUE(ardudf::platform::fill_random(a, size));
        ASSERT_TRUE(ardudf::platform::fill_random(b, size));
        EXPECT_TRUE(size < 4 || std::memcmp(a, b, size) != 0) << size;
        for (std::size_t i = size; i < 64; ++i) ASSERT_EQ(a[i], 0) << "written past the end";
    }
}

} // namespace

// The lookup memo is indexed by a handle's low bits; with handles equal to their values, the
// slots 1024 apart share an entry. Whoever wrote it last, each live handle reaches its own
// context, and a freed one reaches nothing, also when a new context took its slot and entry.
struct PlainNumbering {
    std::uint32_t handle_of(std::uint32_t value) const noexcept { return value; }
    std::uint32_t value_of(std::uint32_t handle) const noexcept { return handle; }
};

TEST(HandleTable, MemoCollisionsNeverMisleadALookup) {
    HandleTable<PlainNumbering> table{PlainNumbering{}};
    auto reaches = [&](std::int32_t handle) {
        HandleSlot* slot = table.lock(handle);
        if (slot == nullptr) return static_cast<BalanceContext*>(nullptr);
        BalanceContext* context = slot->context;
        HandleTable<PlainNumbering>::unlock(slot);
        return context;
    };
    // 4096 slots: from then on a freed slot is the next one used.
    std::vector<std::int32_t> handles;
    std::vector<BalanceContext*> contexts;
    for (int i = 0; i < 4096; ++i) {
        contexts.push_back(new BalanceContext);
        handles.push_back(table.add(contexts.back()));
    }
    for (std::size_t i = 0; i < handles.size(); ++i) ASSERT_EQ(reaches(handles[i]), contexts[i]) << i;
    // Slot 5 changes hands: the new handle takes the entry the old one and slot 1029's share.
    delete table.remove(handles[5]);
    auto* taker = new BalanceContext;
    const std::int32_t taken = table.add(taker);
    ASSERT_EQ(taken & 0xFFFFF, handles[5] & 0xFFFFF); // the same slot, another generation
    EXPECT_EQ(reaches(taken), taker);
    EXPECT_EQ(reaches(handles[5]), nullptr);
    EXPECT_EQ(reaches(handles[5 + 1024]), contexts[5 + 1024]);
    EXPECT_EQ(reaches(0), nullptr);
    delete table.remove(taken);
    for (std::size_t i = 0; i < handles.size(); ++i)
        if (i != 5) delete table.remove(handles[i]);
}
