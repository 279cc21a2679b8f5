// The keyed numbering of handles. A handle is the table's slot-and-generation value passed
// through Speck32/64 (Beaulieu et al., "The SIMON and SPECK Families of Lightweight Block
// Ciphers", 2013), a 32-bit block cipher with a 64-bit key: a permutation of the 32-bit
// values that, without the key, tells nothing about the value of one handle from the values
// of others. The key is drawn from the operating system when the module is loaded.
//
// Table values lie in [2^20, 2^31) (the generation is never 0 and has 11 bits), and so do
// handles: positive, as SQL code has always seen them, and never a small integer. Where the
// cipher lands outside that range it is applied again until it does not (cycle walking),
// which keeps the mapping one to one; it takes two rounds of the cipher on average.
#pragma once

#include <array>
#include <cstdint>

namespace ardudf::balance {

// The key as the paper writes it, (l2, l1, l0, k0).
using SpeckKey = std::array<std::uint16_t, 4>;

class Speck32 {
public:
    static constexpr int rounds = 22;

    explicit Speck32(const SpeckKey& key) noexcept;

    std::uint32_t encrypt(std::uint32_t block) const noexcept;
    std::uint32_t decrypt(std::uint32_t block) const noexcept;

private:
    std::array<std::uint16_t, rounds> round_keys_{};
};

class KeyedNumbering {
public:
    static constexpr std::uint32_t floor = 1u << 20;
    static constexpr std::uint32_t ceiling = 1u << 31; // the first value not in the range

    explicit KeyedNumbering(const SpeckKey& key) noexcept : cipher_(key) {}

    static constexpr bool in_range(std::uint32_t x) noexcept { return x - floor < ceiling - floor; }

    // value in [floor, ceiling)
    std::uint32_t handle_of(std::uint32_t value) const noexcept {
        std::uint32_t handle = cipher_.encrypt(value);
        while (!in_range(handle)) handle = cipher_.encrypt(handle);
        return handle;
    }

    // The value of a handle; 0 for one outside [floor, ceiling), which no value maps to.
    std::uint32_t value_of(std::uint32_t handle) const noexcept {
        if (!in_range(handle)) return 0;
        std::uint32_t value = cipher_.decrypt(handle);
        while (!in_range(value)) value = cipher_.decrypt(value);
        return value;
    }

private:
    Speck32 cipher_;
};

// A key from the operating system's random source (see platform/random.h).
SpeckKey module_key() noexcept;

} // namespace ardudf::balance
