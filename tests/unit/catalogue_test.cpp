// The catalogue's entries are well formed. (The header is checked against it when the
// legacy module is compiled: src/legacy/header_check.cpp.)
#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using ardudf::catalogue::Kind;
using ardudf::catalogue::Value;

void expect_width(const Value& v, std::string_view where) {
    if (v.kind != Kind::text) return;
    // A CSTRING holds at most 32767 bytes, a VARCHAR 32765.
    EXPECT_TRUE(v.width.legacy > 0 && v.width.legacy <= 32767) << where;
    EXPECT_TRUE(v.width.udr > 0 && v.width.udr <= ardudf::catalogue::max_varchar) << where;
}

TEST(Catalogue, NamesAreDistinctAndWellFormed) {
    std::set<std::string_view> names;
    for (const auto& e : ardudf::catalogue::exports) {
        EXPECT_TRUE(names.insert(e.name).second) << e.name;
        // The functions the legacy library had begin with ib_; those of this library's own
        // (ardudf_version) name it.
        EXPECT_TRUE(e.name.starts_with("ib_") || e.name.starts_with("ardudf_")) << e.name;
        for (char c : e.name) EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') << e.name;
        expect_width(e.result, e.name);
        std::set<std::string_view> args;
        for (int i = 0; i < ardudf::catalogue::arg_count(e); ++i) {
            EXPECT_FALSE(e.args[i].name.empty()) << e.name << " argument " << i + 1;
            EXPECT_TRUE(args.insert(e.args[i].name).second) << e.name << " argument " << i + 1;
            expect_width(e.args[i], e.name);
        }
    }
}

} // namespace
