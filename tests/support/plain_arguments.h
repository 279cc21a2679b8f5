// Plain arguments for any export of the catalogue, as argument pointers: the texts of a list
// of three by position, the integers 3, 5, 7 (a balance function's first one the handle
// given) and the doubles 45356.5675, 10, 2. The pointers point into the object.
#pragma once

#include "catalogue/catalogue.h"

#include <array>
#include <cstdint>

struct PlainArguments {
    PlainArguments(const ardudf::catalogue::Export& x, std::int32_t handle, const std::array<const char*, 3>& texts)
        : ints{x.group == "balance" ? handle : 3, 5, 7, 0} {
        for (int i = 0; i < ardudf::catalogue::arg_count(x); ++i) {
            switch (x.args[i].kind) {
            case ardudf::catalogue::Kind::text:
                args[i] = texts[i % 3];
                break;
            case ardudf::catalogue::Kind::int32:
                args[i] = &ints[i];
                break;
            case ardudf::catalogue::Kind::float64:
                args[i] = &doubles[i];
                break;
            default:
                break;
            }
        }
    }
    PlainArguments(const PlainArguments&) = delete;
    PlainArguments& operator=(const PlainArguments&) = delete;

    const void* args[4] = {};

private:
    const std::int32_t ints[4];
    const double doubles[4] = {45356.5675, 10.0, 2.0, 0.0};
};
