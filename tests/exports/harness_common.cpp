// The parts of the harness that do not depend on how the platform loads a module.
#include "harness.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace harness {

void* Module::symbol(const char* name) const {
    void* s = find(name);
    if (s == nullptr) throw std::runtime_error(std::string("no export ") + name);
    return s;
}

std::string take(char* result) {
    if (result == nullptr) throw std::runtime_error("null text result");
    std::string s(result);
    std::free(result);
    return s;
}

} // namespace harness
