#include "core/balance/handle_cipher.h"

#include "platform/random.h"

#include <chrono>

namespace ardudf::balance {

namespace {

constexpr std::uint16_t rol(std::uint16_t v, int s) { return static_cast<std::uint16_t>((v << s) | (v >> (16 - s))); }
constexpr std::uint16_t ror(std::uint16_t v, int s) { return static_cast<std::uint16_t>((v >> s) | (v << (16 - s))); }

std::uint64_t mix(std::uint64_t z) { // SplitMix64's finaliser
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

} // namespace

Speck32::Speck32(const SpeckKey& key) noexcept {
    std::uint16_t k = key[3];
    std::array<std::uint16_t, rounds + 2> l{key[2], key[1], key[0]};
    for (int i = 0; i < rounds; ++i) {
        round_keys_[i] = k;
        if (i == rounds - 1) break;
        l[i + 3] = static_cast<std::uint16_t>(static_cast<std::uint16_t>(k + ror(l[i], 7)) ^ i);
        k = static_cast<std::uint16_t>(rol(k, 2) ^ l[i + 3]);
    }
}

std::uint32_t Speck32::encrypt(std::uint32_t block) const noexcept {
    auto x = static_cast<std::uint16_t>(block >> 16), y = static_cast<std::uint16_t>(block);
    for (const std::uint16_t k : round_keys_) {
        x = static_cast<std::uint16_t>(static_cast<std::uint16_t>(ror(x, 7) + y) ^ k);
        y = static_cast<std::uint16_t>(rol(y, 2) ^ x);
    }
    return (std::uint32_t{x} << 16) | y;
}

std::uint32_t Speck32::decrypt(std::uint32_t block) const noexcept {
    auto x = static_cast<std::uint16_t>(block >> 16), y = static_cast<std::uint16_t>(block);
    for (int i = rounds - 1; i >= 0; --i) {
        y = ror(static_cast<std::uint16_t>(y ^ x), 2);
        x = rol(static_cast<std::uint16_t>(static_cast<std::uint16_t>(x ^ round_keys_[i]) - y), 7);
    }
    return (std::uint32_t{x} << 16) | y;
}

SpeckKey module_key() noexcept {
    SpeckKey key{};
    if (!platform::fill_random(key.data(), sizeof key)) {
        // Only where the system refuses its random source: the clock and where the loader
        // put this module and the stack, weaker than a drawn key but never a fixed one.
        int here = 0;
        const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        const std::uint64_t z = mix(now ^ mix(reinterpret_cast<std::uintptr_t>(&here)) ^
                                    mix(reinterpret_cast<std::uintptr_t>(&module_key) + 1));
        for (int i = 0; i < 4; ++i) key[i] = static_cast<std::uint16_t>(z >> (16 * i));
    }
    return key;
}

} // namespace ardudf::balance
