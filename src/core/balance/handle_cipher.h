// The keyed numbering of handles. A handle is the table's slot-and-generation value passed
// through Speck32/64 (Beaulieu et al., "The SIMON and SPECK Families of Lightweight Block
// Ciphers", 2013), a 32-bit block cipher with a 64-bit key: a permutation of the 32-bit
// values that, without the key, tells nothing about the value of one handle from the values
// of others. The key is drawn from the operating system when the module is loaded.
//
// Table values are at least 2^20 (the generation is never 0), and so are handles: where
// the cipher lands below 2^20 it is applied again until it does not (cycle walking), which
// keeps the mapping one to one and leaves 0 and the small integers out of it.
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

    explicit KeyedNumbering(const SpeckKey& key) noexcept : cipher_(key) {}

    // value >= floor
    std::uint32_t handle_of(std::uint32_t value) const noexcept {
        std::uint32_t handle = cipher_.encrypt(value);
        while (handle < floor) handle = cipher_.encrypt(handle);
        return handle;
    }

    // The value of a handle; 0 for 0 and the other integers below floor, which no value
    // maps to.
    std::uint32_t value_of(std::uint32_t handle) const noexcept {
        if (handle < floor) return 0;
        std::uint32_t value = cipher_.decrypt(handle);
        while (value < floor) value = cipher_.decrypt(value);
        return value;
    }

private:
    Speck32 cipher_;
};

// A key from the operating system's random source (see platform/random.h).
SpeckKey module_key() noexcept;

} // namespace ardudf::balance
