// The header against the catalogue, entry by entry, when the module is compiled: every
// function of the catalogue is declared in ardudf.h with the C type its entry gives.
#include "ardudf/ardudf.h"
#include "legacy/signature.h"

#include <string_view>
#include <type_traits>

namespace {

// The generated list (src/catalogue/functions.inc) is the catalogue's, in its order.
constexpr std::string_view listed[] = {
#define ARDUDF_FUNCTION(name, group) #name,
#include "catalogue/functions.inc"
#undef ARDUDF_FUNCTION
};
static_assert(
    [] {
        if (std::size(listed) != ardudf::catalogue::exports.size()) return false;
        for (std::size_t i = 0; i < std::size(listed); ++i)
            if (listed[i] != ardudf::catalogue::exports[i].name) return false;
        return true;
    }(),
    "src/catalogue/functions.inc is not the catalogue's list: run scripts/generate.sh");

#define ARDUDF_FUNCTION(name, group)                                                                                   \
    static_assert(std::is_same_v<decltype(&name), signature::pointer<signature::index_of(#name)>>,                     \
                  #name ": ardudf.h declares another type than the catalogue gives");
#include "catalogue/functions.inc"
#undef ARDUDF_FUNCTION

} // namespace
