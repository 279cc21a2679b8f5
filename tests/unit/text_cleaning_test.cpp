#include "core/text/cleaning.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <unicode/unorm2.h>
#endif

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <string>

namespace {

using namespace ardudf::text;

#ifdef _WIN32
// On Windows the oracles are the system's own: its code page 1250 and its NFD.
char32_t decode_cp1250(unsigned char byte) {
    const char in = static_cast<char>(byte);
    wchar_t out = 0;
    const int n = MultiByteToWideChar(1250, MB_ERR_INVALID_CHARS, &in, 1, &out, 1);
    return n == 1 ? static_cast<char32_t>(out) : 0;
}

char nfd_base_letter(char32_t cp) {
    const wchar_t in[1] = {static_cast<wchar_t>(cp)};
    wchar_t out[8] = {};
    const int n = NormalizeString(NormalizationD, in, 1, out, 8);
    EXPECT_GT(n, 0) << GetLastError();
    const bool letter = (out[0] >= 'A' && out[0] <= 'Z') || (out[0] >= 'a' && out[0] <= 'z');
    return n > 1 && letter ? static_cast<char>(out[0]) : '\0';
}
#else
// The Unicode code point of a Windows-1250 byte by glibc's iconv; 0 for an unassigned byte.
char32_t decode_cp1250(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-32LE", "CP1250");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    char in = static_cast<char>(byte);
    std::uint32_t out = 0;
    char* src = &in;
    char* dst = reinterpret_cast<char*>(&out);
    std::size_t left = 1, room = sizeof out;
    const bool ok = iconv(cd, &src, &left, &dst, &room) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    return ok ? static_cast<char32_t>(out) : 0;
}

// The ASCII letter that a character decomposes to under NFD (ICU), or 0 when it has no
// decomposition onto an ASCII letter.
char nfd_base_letter(char32_t cp) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfd = unorm2_getNFDInstance(&status);
    const UChar in[1] = {static_cast<UChar>(cp)};
    UChar out[8] = {};
    const int32_t n = unorm2_normalize(nfd, in, 1, out, 8, &status);
    EXPECT_TRUE(U_SUCCESS(status));
    const bool letter = (out[0] >= 'A' && out[0] <= 'Z') || (out[0] >= 'a' && out[0] <= 'z');
    return n > 1 && letter ? static_cast<char>(out[0]) : '\0';
}
#endif

// Letters that have no canonical decomposition but a plain letter all the same.
const std::map<char32_t, char> without_decomposition = {
    {U'Ł', 'L'}, {U'ł', 'l'}, {U'Đ', 'D'}, {U'đ', 'd'}, {U'ß', 's'},
};

// Every byte against its Windows-1250 character stripped of its combining marks.
TEST(TextCleaning, DiacriticsAgreeWithCodePageAndNfd) {
    int replaced = 0;
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        char expected = static_cast<char>(byte);
        if (byte >= 0x80) {
            const char32_t cp = decode_cp1250(byte);
            const auto special = without_decomposition.find(cp);
            if (special != without_decomposition.end())
                expected = special->second;
            else if (const char base = nfd_base_letter(cp))
                expected = base;
        }
        const char in = static_cast<char>(byte);
        char out = 0;
        remove_diacritics(std::string_view(&in, 1), &out);
        EXPECT_EQ(static_cast<unsigned char>(out), static_cast<unsigned char>(expected)) << std::hex << b;
        replaced += out != in;
    }
    EXPECT_EQ(replaced, 81);
}

// Against the obvious filter over random bytes, digits frequent.
TEST(TextCleaning, KeepDigitsAgreesWithFilter) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> byte(0, 511), length(0, 100);
    for (int round = 0; round < 20000; ++round) {
        std::string s(static_cast<std::size_t>(length(rng)), ' ');
        for (char& c : s) {
            const int v = byte(rng);
            c = static_cast<char>(v < 256 ? v : '0' + v % 10);
        }
        std::string expected;
        std::copy_if(s.begin(), s.end(), std::back_inserter(expected), [](char c) { return c >= '0' && c <= '9'; });
        std::string out(s.size(), '\0');
        out.resize(keep_digits(s, out.data()));
        ASSERT_EQ(out, expected);
    }
}

} // namespace
