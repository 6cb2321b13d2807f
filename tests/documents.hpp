// Documents that exercise every kind, nesting and escape; the layout tests
// write them, and an outside parser checks that every text is valid JSON.

#ifndef QUARROW_TESTS_DOCUMENTS_HPP
#define QUARROW_TESTS_DOCUMENTS_HPP

#include <quarrow/json.hpp>

#include <limits>
#include <string>
#include <vector>

namespace documents
{

struct document
{
    std::string name;
    quarrow::json value;
};

inline quarrow::json nested_arrays(int depth)
{
    quarrow::json value = "bottom";
    for (int level = 0; level < depth; ++level)
    {
        value = quarrow::json::array_t{value, level};
    }
    return value;
}

inline std::vector<document> all()
{
    using quarrow::json;
    using limits = std::numeric_limits<double>;
    std::string every_byte_below_0x80;
    for (char c = 0; c >= 0; ++c)
    {
        every_byte_below_0x80 += c;
    }
    return {
        {"null", json()},
        {"true", json(true)},
        {"false", json(false)},
        {"string", json("x")},
        {"empty_object", json(json::value_t::object)},
        {"empty_array", json(json::value_t::array)},
        {"nested_empty", {{"a", json(json::value_t::object)}, {"b", json(json::value_t::array)}}},
        {"worked_example", {{"name", "x"}, {"list", {1, 2}}}},
        {"integers", {0, -1, json(std::numeric_limits<long long>::min()),
                      json(std::numeric_limits<unsigned long long>::max())}},
        {"floats", {0.0, -0.0, 1.0, 0.1, 1e20, 1.5e-7, 1.0 / 3.0, limits::max(), limits::denorm_min()}},
        {"not_finite", {limits::quiet_NaN(), limits::infinity(), -limits::infinity()}},
        {"escapes", {{"key \"quoted\"\t", every_byte_below_0x80}, {"utf-8 \xc3\xa9", "\xe4\xb8\x80 \xf0\x9f\x98\x80"}}},
        {"trio", {{"the good", "il buono"}, {"the bad", "il cattivo"}, {"the ugly", "il brutto"}}},
        {"mixed", {{"a", {1, {{"b", {true, json(), "c"}}}, json(json::value_t::array)}}, {"d", 2.5}}},
        {"deep", nested_arrays(200)},
    };
}

} // namespace documents

#endif
