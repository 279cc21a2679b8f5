#include "core/text/strings.h"

#include <algorithm>
#include <cstring>

namespace ardudf::text {
namespace {

std::size_t clamp_len(std::size_t length, std::int32_t len) noexcept {
    return std::min<std::size_t>(length, static_cast<std::uint32_t>(len));
}

} // namespace

std::string_view left(std::string_view text, std::int32_t len) noexcept {
    return text.substr(0, clamp_len(text.size(), len));
}

std::string_view right(std::string_view text, std::int32_t len) noexcept {
    return text.substr(text.size() - clamp_len(text.size(), len));
}

std::size_t lpad_length(std::size_t length, std::int32_t len, std::size_t cap) noexcept {
    // Read as unsigned, a negative length would ask for over two thousand million bytes of
    // padding; the text is kept instead.
    if (len < 0) return length;
    return std::min(std::max<std::size_t>(length, static_cast<std::size_t>(len)), std::max(length, cap));
}

std::size_t lpad(std::string_view text, std::size_t width, char pad, char* out) noexcept {
    const std::size_t fill = width - text.size();
    std::memset(out, pad, fill);
    if (!text.empty()) std::memcpy(out + fill, text.data(), text.size());
    return fill > 0 && pad == '\0' ? 0 : width;
}

void reverse(std::string_view text, char* out) noexcept {
    // Eight bytes at a time: a word loaded from the far end, byte-swapped, stored at the
    // near end is those eight bytes reversed, whatever the byte order of the machine.
    // std::reverse_copy goes byte by byte here (no vector byte shuffle in baseline x86).
    const std::size_t n = text.size();
    const char* const end = text.data() + n;
    std::size_t i = 0;
    for (; n - i >= 8; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, end - i - 8, 8);
        word = __builtin_bswap64(word);
        std::memcpy(out + i, &word, 8);
    }
    std::reverse_copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n - i), out + i);
}

std::size_t quote_literal_size(std::size_t length) noexcept {
    if (length > (max_result_size - 3) / 2) return 0;
    return 2 * length + 3;
}

std::size_t quote_literal(std::string_view text, char* out) noexcept {
    char* w = out;
    *w++ = '\'';
    const char* p = text.data();
    const char* const end = p + text.size();
    // Runs without a quote go in one copy; quotes are rare in real text.
    while (p != end) {
        const void* q = std::memchr(p, '\'', static_cast<std::size_t>(end - p));
        const char* stop = q != nullptr ? static_cast<const char*>(q) + 1 : end;
        std::memcpy(w, p, static_cast<std::size_t>(stop - p));
        w += stop - p;
        if (q != nullptr) *w++ = '\'';
        p = stop;
    }
    *w++ = '\'';
    *w = '\0';
    return static_cast<std::size_t>(w - out);
}

} // namespace ardudf::text
